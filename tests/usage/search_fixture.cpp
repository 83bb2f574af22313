#include "tests/usage/search_fixture.h"

#include <cstdio>

#include "config/log.h"
#include "config/settings.h"
#include "platform/system_dirs.h"
#include "tests/builders/exe_builders.h"
#include "usage/candidates.h"
#include "usage/drive_search.h"
#include "usage/usage_records.h"

namespace testbuild {

namespace {

Bytes PeLibrary() {
  PeImage pe;
  pe.code = Bytes(64, 0xC3);
  return pe.Build();
}

Bytes Pe(std::vector<std::string> imports, Bytes data) {
  PeImage pe;
  pe.imports = std::move(imports);
  pe.data = std::move(data);
  return pe.Build();
}

Bytes Ne(std::vector<std::string> modules, Bytes body) {
  NeImage ne;
  ne.modules = std::move(modules);
  ne.segments = {{0, 0x100}};
  ne.body = std::move(body);
  return ne.Build();
}

}  // namespace

SearchFixture::SearchFixture() {
  root_ = installation.Folder("root");
  log_ = installation.Folder("log") + kPathSeparator + "tarnwick.log";
  LogOpen(log_.c_str());
  state.view = &view;
  // More reading threads than processors, so that files are read out of
  // walk order while the results must stay in it.
  state.searchThreads = 4;
  SplitExtensions("dll", &state.settings);

  for (const char* name : {"kernel32.dll", "foo.dll", "foobar.dll", "plugin.dll", "helper.dll", "nearmiss.dll",
                           "regnt.dll", "reg95.dll", "unused.dll", "bar.dll"}) {
    installation.WriteFile(std::string("root/windows/system32/") + name, PeLibrary());
  }
  installation.WriteFile("root/windows/system/toolhelp.dll", Ascii("16-bit library", false));
  installation.WriteFile("root/windows/system/commdlg.dll", Ascii("16-bit library", false));

  installation.WriteFile("root/apps/app32.exe", Pe({"KERNEL32.dll", "FooBar.DLL"}, {}));
  installation.WriteFile("root/apps/app16.exe", Ne({"KERNEL", "TOOLHELP"}, {}));
  installation.WriteFile("root/apps/loader.exe",
                         Pe({"MSVCRT.dll"}, Concat({Ascii("plugin.dll"), Utf16("Helper.DLL"), Ascii("nearmiss.dllx")})));
  installation.WriteFile("root/apps/old16.exe", Ne({"KERNEL"}, Ascii("xxCommDlgYY")));
  installation.WriteFile("root/apps/unused.dll", Pe({"msvcrt.dll"}, Ascii("unused.dll")));
  MzHeader dos;
  dos.relocationOffset = 0x1C;
  Bytes program = BuildDosExe(dos, 0x400);
  PutBytes(program, 0x100, Ascii("bar.dll"));
  installation.WriteFile("root/apps/dos.exe", program);
  installation.WriteFile("root/apps/readme.txt", Concat({Ascii("see nearmiss.dll"), Bytes(80, ' ')}));
  installation.WriteFile("root/registry/SOFTWARE", BuildNtRegistry(Utf16("C:\\WINDOWS\\SYSTEM32\\REGNT.DLL")));
  installation.WriteFile("root/registry/SYSTEM.DAT", Build95Registry(Ascii("reg95.dll")));
}

std::string SearchFixture::Path(const std::string& relative) const {
  std::string path = root_ + kPathSeparator + relative;
  for (char& c : path) {
    if (c == '/') c = kPathSeparator;
  }
  return path;
}

std::string SearchFixture::LogText() const {
  const Bytes bytes = ReadFile(log_);
  std::string text;
  for (unsigned char c : bytes) {
    if (c != '\r') text += static_cast<char>(c);
  }
  return text;
}

void SearchFixture::CollectAndList() {
  std::snprintf(state.settings.LibraryDir32, 260, "%s", Path("windows/system32").c_str());
  std::snprintf(state.settings.LibraryDir16, 260, "%s", Path("windows/system").c_str());
  state.CandidateList.Clear();
  state.WidestLineLength = 0;
  state.CurrentLibraryKind = 32;
  CollectCandidates(state, state.settings.LibraryDir32, 0, state.CandidateList);
  state.CurrentLibraryKind = 16;
  CollectCandidates(state, state.settings.LibraryDir16, 0, state.CandidateList);
  ListCandidates(state);
  std::snprintf(state.settings.DriveSelection, sizeof state.settings.DriveSelection, "C:\\");
  std::snprintf(state.SearchRoot, sizeof state.SearchRoot, "%s", root_.c_str());
}

void SearchFixture::Pass(bool importsOnly) {
  state.ImportsOnlyMode = importsOnly ? 1 : 0;
  SearchDrives(state);
}

const std::vector<ExpectedMark>& SearchFixture::ImportMarks() {
  static const std::vector<ExpectedMark> marks = {
      {"kernel32.dll", 32, "apps/app32.exe", REF_EXE_32BIT},
      {"foo.dll", 32, "apps/app32.exe", REF_EXE_32BIT},
      {"foobar.dll", 32, "apps/app32.exe", REF_EXE_32BIT},
      {"toolhelp.dll", 16, "apps/app16.exe", REF_EXE_16BIT},
  };
  return marks;
}

const std::vector<ExpectedMark>& SearchFixture::ContentMarks() {
  static const std::vector<ExpectedMark> marks = {
      {"plugin.dll", 32, "apps/loader.exe", REF_EXE_32BIT},
      {"helper.dll", 32, "apps/loader.exe", REF_EXE_32BIT},
      {"regnt.dll", 32, "registry/SOFTWARE", REF_NT_REGISTRY},
      {"reg95.dll", 32, "registry/SYSTEM.DAT", REF_W95_REGISTRY},
      // Its import section holds "FooBar.DLL": nothing is required before a name.
      {"bar.dll", 32, "apps/app32.exe", REF_EXE_32BIT},
      {"commdlg.dll", 16, "apps/old16.exe", REF_EXE_16BIT},
  };
  return marks;
}

const std::vector<std::string>& SearchFixture::Unused() {
  static const std::vector<std::string> names = {"nearmiss.dll", "unused.dll"};
  return names;
}

}  // namespace testbuild
