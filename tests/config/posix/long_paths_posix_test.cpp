// A folder setting that fits the settings file but not the path buffers once
// translated into the prefix: refused, never cut, and written back as read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/settings.h"
#include "platform/system_dirs.h"
#include "tests/support/test_installation.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/startup.h"

namespace testbuild {
namespace {

class NotingPrompts : public StartupPrompts {
 public:
  bool AskYesNo(const char*, const char*) override { return false; }
  void Inform(const char* text) override { notes.push_back(text); }
  std::vector<std::string> notes;
};

TEST(LongPathsPosixTest, FolderTooLongOnceTranslatedIsRefusedNotCut) {
  TestInstallation installation;
  const std::string value = "C:\\" + std::string(200, 'x') + "\\" + std::string(50, 'y');
  ASSERT_LT(value.size(), 260u);
  ASSERT_GE(NativePath(value).size(), 260u);
  installation.WriteSettings("[options]\r\nbackupto=" + value + "\r\n32bitdllpath=" + value + "\r\n");
  ProcessState state;
  NotingPrompts prompts;
  ASSERT_EQ(StartupInit(state, prompts), 1);
  EXPECT_EQ(std::string(state.settings.BackupDir), CurrentDirectory() + "/BACKUP");
  EXPECT_EQ(std::string(state.settings.LibraryDir32), SystemDirectory());
  ASSERT_EQ(prompts.notes.size(), 2u);
  EXPECT_NE(prompts.notes[0].find("\"backupto\""), std::string::npos) << prompts.notes[0];
  EXPECT_NE(prompts.notes[1].find("\"32bitdllpath\""), std::string::npos) << prompts.notes[1];

  CountLibraryFiles(state, state.settings.BackupDir);
  SaveSettings(state.settings);
  EXPECT_NE(installation.ReadSettings().find("backupto=" + value + "\r\n"), std::string::npos)
      << "the user's setting goes back unchanged";
}

TEST(LongPathsPosixTest, SearchFolderTooLongOnceTranslatedSearchesNothing) {
  TestInstallation installation;
  // A prefix deep enough that a 25-character folder overflows once translated.
  const std::string prefix = installation.Folder(std::string(120, 'p') + "/" + std::string(120, 'q'));
  std::filesystem::create_directories(prefix + "/drive_c/windows");
  std::filesystem::create_directories(prefix + "/dosdevices");
  std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
  setenv("WINEPREFIX", prefix.c_str(), 1);
  const std::string selection = "C:\\" + std::string(22, 'z');
  WriteFile(prefix + "/drive_c/windows/tarnwick.ini", Ascii("[options]\r\nsearchdrives=" + selection + "\r\n", false));
  ASSERT_GE(NativePath(selection).size(), 260u);
  ProcessState state;
  NotingPrompts prompts;
  ASSERT_EQ(StartupInit(state, prompts), 1);
  EXPECT_EQ(std::string(state.settings.DriveSelection), selection);
  EXPECT_STREQ(state.SearchRoot, "") << "no cut folder is searched";
}

}  // namespace
}  // namespace testbuild
