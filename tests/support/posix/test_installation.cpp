#include "tests/support/test_installation.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/instance.h"

namespace fs = std::filesystem;

namespace testbuild {

namespace {

void SaveVariable(const char* name, std::string* saved, bool* had) {
  const char* value = std::getenv(name);
  *had = value != nullptr;
  if (value != nullptr) *saved = value;
}

void RestoreVariable(const char* name, const std::string& saved, bool had) {
  if (had) {
    setenv(name, saved.c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

TestInstallation::TestInstallation() {
  SaveVariable("WINEPREFIX", &savedPrefix_, &hadPrefix_);
  SaveVariable("XDG_RUNTIME_DIR", &savedRuntime_, &hadRuntime_);
  const fs::path prefix = fs::path(scratch_.path()) / "prefix";
  fs::create_directories(prefix / "drive_c" / "windows" / "system32");
  fs::create_directories(prefix / "drive_c" / "windows" / "system");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
  fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
  fs::create_directories(fs::path(scratch_.path()) / "run");
  setenv("WINEPREFIX", prefix.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (fs::path(scratch_.path()) / "run").c_str(), 1);
}

TestInstallation::~TestInstallation() {
  RestoreVariable("WINEPREFIX", savedPrefix_, hadPrefix_);
  RestoreVariable("XDG_RUNTIME_DIR", savedRuntime_, hadRuntime_);
}

namespace {

// The escapes of Wine's registry files for an ASCII text.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

void TestInstallation::AddMachineRegistryString(const std::string& key, const std::string& name,
                                                const std::string& value) {
  const fs::path file = fs::path(scratch_.path()) / "prefix" / "system.reg";
  const bool fresh = !fs::exists(file);
  FILE* out = std::fopen(file.c_str(), "a");
  if (out == nullptr) throw std::runtime_error("cannot write " + file.string());
  if (fresh) std::fputs("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n", out);
  std::fprintf(out, "\n[%s] 1700000000\n#time=1d9\n\"%s\"=\"%s\"\n", Escaped(key).c_str(), Escaped(name).c_str(),
               Escaped(value).c_str());
  std::fclose(out);
}

std::string TestInstallation::SettingsFile() const {
  return (fs::path(scratch_.path()) / "prefix" / "drive_c" / "windows" / "tarnwick.ini").string();
}

std::string TestInstallation::Folder(const std::string& relative) const {
  const fs::path folder = fs::path(scratch_.path()) / "files" / relative;
  fs::create_directories(folder);
  return folder.string();
}

// The child publishes itself and then waits until the pipe closes, so the
// parent decides when the instance ends.
FakeRunningInstance::FakeRunningInstance(const std::string& banner) {
  int toParent[2], toChild[2];
  if (pipe(toParent) != 0 || pipe(toChild) != 0) throw std::runtime_error("pipe");
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    close(toParent[0]);
    close(toChild[1]);
    const std::string marker = PublishRunningInstance(nullptr, banner.c_str());
    if (write(toParent[1], marker.c_str(), marker.size() + 1) < 0) _exit(1);
    char byte;
    while (read(toChild[0], &byte, 1) > 0) {
    }
    WithdrawRunningInstance();
    _exit(0);
  }
  close(toParent[1]);
  close(toChild[0]);
  char c;
  while (read(toParent[0], &c, 1) == 1 && c != 0) marker_ += c;
  close(toParent[0]);
  pipe_ = toChild[1];
  handle_ = child;
}

FakeRunningInstance::~FakeRunningInstance() {
  close(pipe_);
  waitpid(static_cast<pid_t>(handle_), nullptr, 0);
}

bool FakeRunningInstance::WasActivated() const { return false; }

}  // namespace testbuild
