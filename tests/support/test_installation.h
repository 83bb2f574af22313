// A Windows installation for one test. POSIX: a fresh Wine-style prefix in
// a scratch folder (drive_c/windows with system32 and system, dosdevices c:
// and z:), with WINEPREFIX and XDG_RUNTIME_DIR pointed into it for the
// test's life. Windows (under Wine): the running system's own directories,
// with tarnwick.ini removed before and after the test.
#ifndef TARNWICK_TESTS_SUPPORT_TEST_INSTALLATION_H
#define TARNWICK_TESTS_SUPPORT_TEST_INSTALLATION_H

#include <string>
#include <vector>

#include "tests/builders/scratch_dir.h"

namespace testbuild {

class TestInstallation {
 public:
  TestInstallation();
  ~TestInstallation();
  TestInstallation(const TestInstallation&) = delete;
  TestInstallation& operator=(const TestInstallation&) = delete;

  // The settings file the program reads (tarnwick.ini in the Windows directory).
  std::string SettingsFile() const;
  void WriteSettings(const std::string& text) const;
  // The file's text, or an empty text when it does not exist.
  std::string ReadSettings() const;
  bool SettingsExist() const;

  // A folder of the test's own (made if missing), as a native path.
  std::string Folder(const std::string& relative) const;
  // Writes a file below Folder's root; returns its native path.
  std::string WriteFile(const std::string& relative, const Bytes& bytes) const;

  // A string value in the installation's registry, under HKEY_LOCAL_MACHINE
  // (key a path below it, '\\' separated; ASCII texts). POSIX: a line of the
  // prefix's system.reg; Windows: the live registry, the key removed again
  // by the destructor.
  void AddMachineRegistryString(const std::string& key, const std::string& name, const std::string& value);

 private:
  ScratchDir scratch_;
  std::string savedPrefix_;
  bool hadPrefix_ = false;
  std::string savedRuntime_;
  bool hadRuntime_ = false;
  std::vector<std::string> addedKeys_;
};

// Another instance of the program, running while the object lives, with
// banner in its main window. Windows: a top-level window in this process;
// POSIX: a child process that holds the runtime file.
class FakeRunningInstance {
 public:
  explicit FakeRunningInstance(const std::string& banner);
  ~FakeRunningInstance();
  FakeRunningInstance(const FakeRunningInstance&) = delete;
  FakeRunningInstance& operator=(const FakeRunningInstance&) = delete;

  const std::string& marker() const { return marker_; }
  // Windows: whether the window has been brought to the front (shown,
  // restored); POSIX: always false, nothing can be.
  bool WasActivated() const;

 private:
  std::string marker_;
  long long handle_ = 0;
  int pipe_ = -1;
};

}  // namespace testbuild

#endif
