// The Windows move of the backup: a library that another program holds
// open, or whose name the backup already has, stays where it is, and the
// reason is told.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "config/log.h"
#include "platform/file_ops.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/backup.h"
#include "usage/candidates.h"
#include "usage/process_state.h"

namespace testbuild {
namespace {

TEST(BackupWin32Test, LockedOrAlreadyPresentLibrariesAreNotMovedNorCounted) {
  TestInstallation installation;
  LogOpen((installation.Folder("log") + "\\tarnwick.log").c_str());
  const std::string lib = installation.Folder("lib") + "\\";
  for (const char* name : {"free.dll", "locked.dll", "present.dll"}) installation.WriteFile(std::string("lib/") + name, Ascii(name));
  installation.WriteFile("backup/present.dll", Ascii("earlier"));
  RecordingView view;
  ProcessState state;
  state.view = &view;
  for (const char* name : {"free.dll", "locked.dll", "present.dll"}) AddCandidate(state, state.CandidateList, name, lib.c_str());
  std::snprintf(state.settings.BackupDir, 260, "%s", (installation.Folder("backup") + "\\").c_str());

  HANDLE held = CreateFileA((lib + "locked.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const BackupOutcome outcome = BackupFoundLibraries(state);
  CloseHandle(held);
  EXPECT_EQ(outcome.moved, 1);
  EXPECT_EQ(outcome.kept, (std::vector<std::pair<std::string, std::string>>{
                              {"locked.dll", "in use"}, {"present.dll", "name taken in the backup folder"}}));
  EXPECT_TRUE(PathExists(state.settings.BackupDir + std::string("free.dll")));
  EXPECT_TRUE(PathExists(lib + "locked.dll"));
  EXPECT_TRUE(PathExists(lib + "present.dll"));
  EXPECT_EQ(view.statuses.back(), "1 files backuped");
}

}  // namespace
}  // namespace testbuild
