#include "samples/sample_installation.h"

#include <filesystem>
#include <system_error>

#include "tests/builders/exe_builders.h"
#include "tests/builders/scratch_dir.h"

namespace fs = std::filesystem;

namespace samples {

using namespace testbuild;

namespace {

struct Library {
  const char* name;
  std::vector<std::string> imports;
  bool used;
};

// The 32-bit libraries, each importing what a real one of its kind would.
const std::vector<Library>& Libraries32() {
  static const std::vector<Library> libraries = {
      {"ntdll.dll", {}, true},
      {"kernel32.dll", {"ntdll.dll"}, true},
      {"gdi32.dll", {"KERNEL32.dll"}, true},
      {"user32.dll", {"KERNEL32.dll", "GDI32.dll"}, true},
      {"advapi32.dll", {"KERNEL32.dll", "ntdll.dll"}, true},
      {"msvcrt.dll", {"KERNEL32.dll"}, true},
      {"comctl32.dll", {"USER32.dll", "GDI32.dll", "KERNEL32.dll"}, true},
      {"comdlg32.dll", {"USER32.dll", "COMCTL32.dll", "KERNEL32.dll"}, true},
      {"shell32.dll", {"COMCTL32.dll", "ADVAPI32.dll", "USER32.dll", "KERNEL32.dll"}, true},
      {"ole32.dll", {"KERNEL32.dll", "ADVAPI32.dll", "USER32.dll"}, true},
      {"winmm.dll", {"KERNEL32.dll", "USER32.dll"}, true},
      {"riched20.dll", {"USER32.dll", "GDI32.dll", "KERNEL32.dll"}, true},  // loaded by name
      {"msvbvm60.dll", {"OLE32.dll", "USER32.dll", "KERNEL32.dll"}, true},  // named in UTF-16
      {"zipfldr.dll", {"SHELL32.dll", "KERNEL32.dll"}, true},               // named in the NT registry
      {"spool32.dll", {"KERNEL32.dll"}, true},                              // named in the 95 registry
      {"oldcodec.dll", {"WINMM.dll", "KERNEL32.dll"}, false},
      {"legacy32.dll", {"KERNEL32.dll"}, false},
      {"msrating.dll", {"USER32.dll", "KERNEL32.dll"}, false},
      {"tapi32.dll", {"KERNEL32.dll"}, false},
  };
  return libraries;
}

struct Library16 {
  const char* name;
  bool used;
};

const std::vector<Library16>& Libraries16() {
  static const std::vector<Library16> libraries = {
      {"commdlg.dll", true}, {"mmsystem.dll", true}, {"toolhelp.dll", true}, {"lzexpand.dll", false}};
  return libraries;
}

Bytes Program(std::vector<std::string> imports, Bytes data, std::size_t codeSize = 0x600) {
  PeImage pe;
  pe.imports = std::move(imports);
  pe.code = Bytes(codeSize, 0x90);
  pe.data = std::move(data);
  return pe.Build();
}

Bytes Program16(const std::string& moduleName, std::vector<std::string> modules, Bytes body) {
  NeImage ne;
  ne.moduleName = moduleName;
  ne.modules = std::move(modules);
  ne.segments = {{0x20, 0x800}, {0x0A0, 0x400}};
  ne.resourceTypes = {{0x8002, {{0x0E0, 0x10}}}};
  ne.body = std::move(body);
  return ne.Build();
}

void Write(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  WriteFile(path.string(), bytes);
}

// A path in the form the settings file keeps: backslashes, and the given
// drive in front unless the path has a drive of its own (as it has when the
// generator runs as a Windows program).
std::string WindowsForm(const std::string& drive, std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.size() >= 2 && path[1] == ':') return path;
  return drive + path;
}

}  // namespace

void WriteSampleInstallation(const std::string& prefixFolder, const InstallationLayout& layout) {
  const fs::path prefix = fs::absolute(prefixFolder).lexically_normal();
  const fs::path driveC = prefix / "drive_c";
  const fs::path root = layout.base.empty() ? driveC : driveC / layout.base;
  const fs::path windows = root / "windows";

  for (const Library& library : Libraries32()) {
    Write(windows / "system32" / library.name, Program(library.imports, Ascii(library.name), 0x200));
  }
  for (const Library16& library : Libraries16()) {
    Write(windows / "system" / library.name, Program16("LIBRARY", {"KERNEL"}, {}));
  }

  Write(root / "Program Files" / "Editor" / "editor.exe",
        Program({"KERNEL32.dll", "USER32.dll", "COMDLG32.dll", "msvcrt.dll"},
                Concat({Ascii("Rich text: "), Ascii("riched20.dll"), Ascii("oldcodec.dllx")})));
  Write(root / "Program Files" / "Editor" / "readme.txt",
        Ascii("The editor no longer needs legacy32.dll.\r\n", false));
  Write(root / "Program Files" / "Player" / "player.exe",
        Program({"kernel32.dll", "winmm.dll", "SHELL32.dll"}, Utf16("MSVBVM60.DLL")));
  Write(root / "Program Files" / "Player" / "plugins" / "visual.dll",
        Program({"KERNEL32.dll", "GDI32.dll"}, Ascii("visualisation")));
  Write(windows / "write.exe",
        Program16("WRITE", {"KERNEL", "GDI", "USER", "COMMDLG", "MMSYSTEM"}, Ascii("uses ToolHelp to debug")));
  MzHeader dos;
  dos.relocationOffset = 0x1C;
  dos.newHeaderOffset = 0;
  Bytes edit = BuildDosExe(dos, dos.DosImageSize());
  PutBytes(edit, 0x100, Ascii("tapi32.dll"));
  Write(windows / "command" / "edit.exe", edit);
  Write(windows / "system32" / "config" / "SOFTWARE",
        BuildNtRegistry(Utf16("C:\\WINDOWS\\system32\\zipfldr.dll"), 16384));
  Write(windows / "SYSTEM.DAT", Build95Registry(Ascii("C:\\WINDOWS\\SYSTEM\\SPOOL32.DLL"), 8192));

  std::error_code ignored;
  fs::create_directories(prefix / "dosdevices");
  if (!fs::exists(fs::symlink_status(prefix / "dosdevices" / "c:"))) {
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:", ignored);
  }
  if (!fs::exists(fs::symlink_status(prefix / "dosdevices" / "z:"))) {
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:", ignored);
  }

  const std::string base = layout.base.empty() ? "" : layout.base + "/";
  const std::string settings =
      "[options]\r\n"
      "backupto=" + WindowsForm("Z:", (prefix / "backup").string()) + "\r\n"
      "32bitdllpath=" + WindowsForm("C:\\", base + "windows/system32") + "\r\n"
      "16bitdllpath=" + WindowsForm("C:\\", base + "windows/system") + "\r\n"
      "searchdrives=" + WindowsForm("C:\\", layout.base) + "\r\n"
      "dllextensions=dll\r\n";
  Write(driveC / "windows" / "tarnwick.ini", Ascii(settings, false));
}

std::vector<std::string> SampleCandidates() {
  std::vector<std::string> names;
  for (const Library& library : Libraries32()) names.push_back(library.name);
  for (const Library16& library : Libraries16()) names.push_back(library.name);
  return names;
}

std::vector<std::string> SampleUnusedCandidates() {
  std::vector<std::string> names;
  for (const Library& library : Libraries32()) {
    if (!library.used) names.push_back(library.name);
  }
  for (const Library16& library : Libraries16()) {
    if (!library.used) names.push_back(library.name);
  }
  return names;
}

}  // namespace samples
