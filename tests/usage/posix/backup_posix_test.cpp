// A backup killed between two moves: the record keeps the line of every
// library moved so far, and the restore puts it back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "config/settings.h"
#include "platform/file_ops.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/backup.h"
#include "usage/backup_record.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/restore.h"

namespace testbuild {
namespace {

// Ends the process at once when the first library has been moved.
class KillingView : public RecordingView {
 public:
  void ShowStatus(const char* text) override {
    if (std::strncmp(text, "Backuping ", 10) == 0) kill(getpid(), SIGKILL);
  }
};

TEST(BackupPosixTest, RecordSurvivesAProcessKilledBetweenTwoMoves) {
  TestInstallation installation;
  const std::string lib = installation.Folder("lib");
  const std::string backup = installation.Folder("backup");
  for (const char* name : {"a.dll", "b.dll", "c.dll"}) installation.WriteFile(std::string("lib/") + name, Ascii(name));
  ProcessState state;
  std::snprintf(state.settings.BackupDir, 260, "%s", backup.c_str());
  SplitExtensions("dll", &state.settings);
  char path[260];
  std::snprintf(path, sizeof path, "%s", lib.c_str());
  CollectCandidates(state, path, 0, state.CandidateList);
  ASSERT_EQ(state.CandidateList.GetCount(), 3);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    KillingView view;
    state.view = &view;
    BackupFoundLibraries(state);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));

  const std::vector<BackupRecordEntry> lines = RecordedLibraries(backup);
  ASSERT_EQ(lines.size(), 1u);
  const std::string moved = lines[0].name;
  EXPECT_FALSE(PathExists(JoinPath(lib, moved)));
  EXPECT_EQ(ReadFile(JoinPath(backup, moved)), Ascii(moved));

  RecordingView view;
  state.view = &view;
  const RestoreOutcome outcome = RestoreBackedUpLibraries(state, {});
  ASSERT_EQ(outcome.restored.size(), 1u);
  EXPECT_EQ(ReadFile(JoinPath(lib, moved)), Ascii(moved));
  for (const char* name : {"a.dll", "b.dll", "c.dll"}) EXPECT_TRUE(PathExists(JoinPath(lib, name))) << name;
}

}  // namespace
}  // namespace testbuild
