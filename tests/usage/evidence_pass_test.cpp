// The evidence pass of a whole search: forwarders, delay-load imports, the
// registry and settings files mark only what the import and content passes
// left unused, each with a list line and a log line naming the evidence.
#include "usage/evidence_pass.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config/log.h"
#include "platform/system_dirs.h"
#include "tests/builders/exe_builders.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/candidates.h"
#include "usage/drive_search.h"
#include "usage/process_state.h"
#include "usage/search_run.h"
#include "usage/usage_records.h"

namespace testbuild {
namespace {

constexpr const char* kTestKey = "Software\\TarnwickEvidenceTest";

Bytes Utf16LeWithMark(const std::string& text) {
  return Concat({Bytes{0xFF, 0xFE}, Utf16(text, false)});
}

class EvidencePassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = installation_.Folder("root");
    log_ = installation_.Folder("log") + kPathSeparator + "tarnwick.log";
    LogOpen(log_.c_str());
    PeImage library;
    for (const char* name : {"tnwimport.dll", "tnwfwd.dll", "tnwdelay.dll", "tnwini.dll", "tnwinf.dll",
                             "tnwmanifest.dll", "tnwregfile.dll", "tnwkey.dll", "tnwvalue.dll", "tnwsysini.dll",
                             "tnwself.dll", "tnwunused.dll", "tnwdelayonly.dll"}) {
      Write(std::string("system32/") + name, library.Build());
    }
    PeImage app;
    app.imports = {"TNWIMPORT.dll"};
    app.forwarders = {"tnwimport.Function", "TnwFwd.Function"};
    app.delayImports = {"TNWDELAY.dll"};
    Write("apps/app.exe", app.Build());
    // Delay-load imports and no import table, which the analysis reports as an error.
    PeImage delayOnly;
    delayOnly.delayImports = {"tnwdelayonly.dll"};
    Write("apps/delayonly.dll", delayOnly.Build());
    PeImage self;
    self.forwarders = {"tnwself.Function"};
    Write("apps/tnwself.dll", self.Build());
    Write("apps/player.ini", Ascii("[drivers32]\r\nvidc.tnw=tnwini.dll\r\n", false));
    Write("apps/setup.inf", Utf16LeWithMark("[Files]\r\nCopyFiles=TNWINF.DLL,tnwunused.dllx\r\n"));
    Write("apps/app.manifest", Ascii("<file name=\"tnwmanifest.dll\"/> xtnwunused.dll=", false));
    Write("apps/codec.reg", Utf16LeWithMark("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Tnw]\r\n"
                                            "\"Lib\"=hex(2):74,00,6e,00,77,00,72,00,65,00,67,00,66,00,69,00,"
                                            "6c,00,65,00,00,00\r\n"));
    installation_.AddMachineRegistryString(std::string(kTestKey) + "\\tnwkey", "Flag", "1");
    installation_.AddMachineRegistryString(std::string(kTestKey) + "\\Values", "Path",
                                           "%SystemRoot%\\system32\\TNWVALUE.DLL");

    // The Windows directory's system.ini, which the walk of the root does not reach.
    systemIni_ = WindowsDirectory() + kPathSeparator + "system.ini";
    hadSystemIni_ = std::ifstream(systemIni_).good();
    if (hadSystemIni_) savedSystemIni_ = ReadFile(systemIni_);
    WriteFile(systemIni_, Concat({savedSystemIni_, Ascii("\r\n[mci]\r\ntnw=tnwsysini.dll\r\n", false)}));
  }

  void TearDown() override {
    if (hadSystemIni_) {
      WriteFile(systemIni_, savedSystemIni_);
    } else {
      std::remove(systemIni_.c_str());
    }
  }

  void Write(const std::string& relative, const Bytes& bytes) {
    installation_.WriteFile("root/" + relative, bytes);
  }

  std::string Path(const std::string& relative) const {
    std::string path = root_ + kPathSeparator + relative;
    for (char& c : path) c = c == '/' ? kPathSeparator : c;
    return path;
  }

  // When the registry is read: from before the search was begun, alongside
  // the passes, or after them.
  enum class Registry { kAhead, kAlongside, kAfter };

  void Search(bool importsOnly, Registry registry = Registry::kAlongside) {
    installation_.WriteSettings(importsOnly ? "[options]\nlookimportsonly=1\n" : "[options]\n");
    state_.view = &view_;
    SplitExtensions("dll", &state_.settings);
    std::snprintf(state_.settings.LibraryDir32, 260, "%s", Path("system32").c_str());
    state_.settings.LibraryKindMask = kLibraryKind32;
    state_.settings.Recurse = 0;
    std::snprintf(state_.settings.DriveSelection, sizeof state_.settings.DriveSelection, "C:\\");
    std::snprintf(state_.SearchRoot, sizeof state_.SearchRoot, "%s", root_.c_str());
    state_.searchRootOverride = true;
    CollectAndListCandidates(state_);
    if (registry == Registry::kAhead) {
      std::unique_ptr<RegistryReading> started = StartRegistryReading(state_);
      // The search uses what that reading read: a key added once it ended
      // marks nothing.
      started->Keys();
      installation_.AddMachineRegistryString(std::string(kTestKey) + "\\Later", "Path", "tnwunused.dll");
      RunSearchPasses(state_, std::move(started));
      return;
    }
    if (registry == Registry::kAlongside) {
      RunSearchPasses(state_);
      return;
    }
    // The registry read after the passes, on this thread.
    SearchDrivesInPasses(state_, !importsOnly);
    RunEvidencePass(state_);
  }

  // Each candidate's list line after the name and kind.
  std::map<std::string, std::string> Uses() const {
    std::map<std::string, std::string> uses;
    for (const std::string& line : view_.lines) {
      const std::size_t tab = line.find('\t');
      uses[line.substr(0, tab)] = line.substr(line.find('\t', tab + 1) + 1);
    }
    return uses;
  }

  std::vector<std::string> FoundLogLinesBefore(const std::string& marker) const {
    std::vector<std::string> found;
    std::istringstream text(ReadLog());
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind(marker, 0) == 0) break;
      if (line.rfind("found ", 0) == 0) found.push_back(line);
    }
    return found;
  }

  std::string ReadLog() const {
    const Bytes bytes = ReadFile(log_);
    return std::string(bytes.begin(), bytes.end());
  }

  TestInstallation installation_;
  RecordingView view_;
  ProcessState state_;
  std::string root_, log_, systemIni_;
  bool hadSystemIni_ = false;
  Bytes savedSystemIni_;
};

TEST_F(EvidencePassTest, MarksWhatThePassesLeftWithTheEvidenceThatNamesIt) {
  for (bool importsOnly : {false, true}) {
    SCOPED_TRACE(importsOnly ? "lookimportsonly=1" : "both passes");
    Search(importsOnly);
    const std::string app = Path("apps/app.exe");
    const std::string key = std::string("HKEY_LOCAL_MACHINE\\") + kTestKey;
    const std::map<std::string, std::string> expected = {
        {"tnwimport.dll", app + "(32-bit exe or dll)"},
        {"tnwfwd.dll", app + "(32-bit exe or dll)"},
        {"tnwdelay.dll", app + "(32-bit exe or dll)"},
        {"tnwdelayonly.dll", Path("apps/delayonly.dll") + "(32-bit exe or dll)"},
        {"tnwini.dll", Path("apps/player.ini") + "(settings file)"},
        {"tnwinf.dll", Path("apps/setup.inf") + "(settings file)"},
        {"tnwmanifest.dll", Path("apps/app.manifest") + "(settings file)"},
        {"tnwregfile.dll", Path("apps/codec.reg") + "(settings file)"},
        {"tnwkey.dll", key + "\\tnwkey(NT registry)"},
        {"tnwvalue.dll", key + "\\Values(NT registry)"},
        {"tnwsysini.dll", systemIni_ + "(settings file)"},
        {"tnwself.dll", "?"},
        {"tnwunused.dll", "?"},
    };
    EXPECT_EQ(Uses(), expected);
    EXPECT_EQ(state_.ReferencedCount, 11);
    // The passes' own marks, as before: the import, and the delay-loaded
    // name that stands as a string in the program's content.
    std::vector<std::string> passes{"found tnwimport.dll\t32\t" + app + "(32-bit exe or dll)"};
    if (!importsOnly) passes.push_back("found tnwdelay.dll\t32\t" + app + "(32-bit exe or dll)");
    EXPECT_EQ(FoundLogLinesBefore("Now looking for further evidence"), passes);
    EXPECT_NE(ReadLog().find("found tnwkey.dll\t32\t" + key + "\\tnwkey(NT registry)"), std::string::npos);
    std::remove(log_.c_str());
  }
}

TEST_F(EvidencePassTest, RegistryReadAheadOrAlongsideThePassesMarksWhatAReadingAfterThemMarks) {
  Search(false, Registry::kAfter);
  const std::vector<std::string> after = view_.lines;
  ASSERT_NE(Uses()["tnwkey.dll"].find("(NT registry)"), std::string::npos) << "the registry marks something";
  Search(false, Registry::kAlongside);
  EXPECT_EQ(view_.lines, after);
  Search(false, Registry::kAhead);
  EXPECT_EQ(view_.lines, after);
}

}  // namespace
}  // namespace testbuild
