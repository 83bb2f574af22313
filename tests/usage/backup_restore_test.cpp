// The backup with its record, the restore, and Wine's own libraries, on both
// platform layers: every library that stays is named with its reason, every
// move is recorded before it happens, and a restore puts the libraries back
// where they came from without replacing anything.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "config/log.h"
#include "config/settings.h"
#include "platform/file_ops.h"
#include "platform/system_dirs.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/backup.h"
#include "usage/backup_record.h"
#include "usage/candidates.h"
#include "usage/outcome_texts.h"
#include "usage/process_state.h"
#include "usage/restore.h"
#include "usage/wine_builtin.h"

namespace fs = std::filesystem;

namespace testbuild {
namespace {

// The file's text with the line ends of the log (CR LF on Windows) as LF.
std::string Text(const std::string& path) {
  const Bytes bytes = ReadFile(path);
  std::string text;
  for (std::uint8_t byte : bytes) {
    if (byte != '\r') text += static_cast<char>(byte);
  }
  return text;
}

class BackupRestoreTest : public ::testing::Test {
 protected:
  BackupRestoreTest() {
    log_ = installation_.Folder("log") + kPathSeparator + "tarnwick.log";
    LogOpen(log_.c_str());
    lib_ = installation_.Folder("lib");
    backup_ = installation_.Folder("backup");
    std::snprintf(state_.settings.BackupDir, 260, "%s", backup_.c_str());
    state_.view = &view_;
    SplitExtensions("dll", &state_.settings);
  }

  std::string Lib(const std::string& relative) const { return JoinPath(lib_, relative); }
  std::string Saved(const std::string& name) const { return JoinPath(backup_, name); }
  // Collects the library folder, with its subfolders.
  void Collect() {
    char path[260];
    std::snprintf(path, sizeof path, "%s", lib_.c_str());
    state_.CurrentLibraryKind = 32;
    CollectCandidates(state_, path, 1, state_.CandidateList);
  }
  std::string Log() const { return Text(log_); }

  TestInstallation installation_;
  std::string log_, lib_, backup_;
  RecordingView view_;
  ProcessState state_;
};

TEST_F(BackupRestoreTest, RestorePutsLibrariesBackIntoTheirSubfoldersAndNeverReplaces) {
  installation_.WriteFile("lib/top.dll", Ascii("top"));
  installation_.WriteFile("lib/sub/inner.dll", Ascii("inner"));
  installation_.WriteFile("lib/sub/deeper/deep.dll", Ascii("deep"));
  Collect();
  ASSERT_EQ(state_.CandidateList.GetCount(), 3);
  EXPECT_EQ(BackupFoundLibraries(state_).moved, 3);
  const std::vector<BackupRecordEntry> record = ReadBackupRecord(backup_);
  ASSERT_EQ(record.size(), 3u);
  for (const BackupRecordEntry& entry : record) {
    EXPECT_EQ(entry.action, kRecordMoved);
    EXPECT_EQ(JoinPath(fs::path(entry.origin).parent_path().string(), entry.name), entry.origin);
    EXPECT_FALSE(PathExists(entry.origin));
    EXPECT_TRUE(PathExists(Saved(entry.name)));
  }
  EXPECT_EQ(CountLibraryFiles(state_, state_.settings.BackupDir), 3) << "the record is no library";

  RestoreOutcome byName = RestoreBackedUpLibraries(state_, {"INNER.DLL"});
  ASSERT_EQ(byName.restored.size(), 1u);
  EXPECT_EQ(byName.restored[0].second, Lib(std::string("sub") + kPathSeparator + "inner.dll"));
  EXPECT_EQ(ReadFile(byName.restored[0].second), Ascii("inner"));
  EXPECT_EQ(byName.ExitStatus(), 0);

  // A file that stands at an origin now keeps its place; the library stays.
  installation_.WriteFile("lib/top.dll", Ascii("installed since"));
  RestoreOutcome all = RestoreBackedUpLibraries(state_, {});
  ASSERT_EQ(all.restored.size(), 1u);
  EXPECT_EQ(all.restored[0].first, "deep.dll");
  ASSERT_EQ(all.kept.size(), 1u);
  EXPECT_EQ(all.kept[0].first, "top.dll");
  EXPECT_EQ(all.kept[0].second, "a file of that name stands at " + Lib("top.dll") + " now");
  EXPECT_EQ(all.ExitStatus(), 1);
  EXPECT_EQ(ReadFile(Lib("top.dll")), Ascii("installed since"));
  EXPECT_EQ(ReadFile(Saved("top.dll")), Ascii("top"));
  EXPECT_EQ(view_.statuses.back(), "1 files restored");
  EXPECT_NE(Log().find("restored deep.dll to " + Lib("sub") + kPathSeparator + "deeper" + kPathSeparator +
                       "deep.dll\n"),
            std::string::npos);
  EXPECT_NE(Log().find("not restored top.dll: a file of that name stands at "), std::string::npos);
  EXPECT_EQ(RestoreOutcomeText(all, kAllNames),
            "1 libraries restored.\nNot restored: 1\n  top.dll: a file of that name stands at " + Lib("top.dll") +
                " now\n");

  fs::remove(Lib("top.dll"));
  EXPECT_EQ(RestoreBackedUpLibraries(state_, {}).restored.size(), 1u);
  EXPECT_EQ(ReadFile(Lib("top.dll")), Ascii("top"));
  EXPECT_EQ(CountLibraryFiles(state_, state_.settings.BackupDir), 0);

  const RestoreOutcome nothing = RestoreBackedUpLibraries(state_, {});
  EXPECT_TRUE(nothing.restored.empty() && nothing.kept.empty());
  EXPECT_EQ(nothing.ExitStatus(), 0);
  EXPECT_EQ(RestoreOutcomeText(nothing, kAllNames).rfind("Nothing to restore", 0), 0u);
  const RestoreOutcome unknown = RestoreBackedUpLibraries(state_, {"top.dll"});
  ASSERT_EQ(unknown.kept.size(), 1u);
  EXPECT_EQ(unknown.kept[0].second, "not in the backup folder");
  EXPECT_EQ(unknown.ExitStatus(), 1);
}

// What a crash can leave in the record: the line of a move that never
// happened, a line cut while it was written; and a name backed up again
// after a restore, whose last line tells where the file now there came from.
TEST_F(BackupRestoreTest, RestoreFollowsTheLastLineOfANameAndPassesOverLinesWithoutAFile) {
  const std::string first = Lib("first") + kPathSeparator + "twice.dll";
  const std::string second = Lib("second") + kPathSeparator + "twice.dll";
  installation_.Folder("lib/first");
  installation_.Folder("lib/second");
  WriteFile(Saved("twice.dll"), Ascii("from the second folder"));
  const std::string record = "2026-01-01 10:00:00\tmoved\t" + first + "\tTWICE.DLL\n" +
                             "2026-01-01 10:05:00\trestored\t" + first + "\tTWICE.DLL\n" +
                             "2026-01-02 09:00:00\tmoved\t" + second + "\ttwice.dll\n" +
                             "2026-01-02 09:00:01\tmoved\t" + Lib("ghost.dll") + "\tghost.dll\n" +
                             "2026-01-02 09:00:02\tmoved\t" + Lib("evil.dll") + "\t.." + kPathSeparator + "evil.dll\n" +
                             "2026-01-02 09:00:03\tmoved\t" + Lib("cut.dll");
  WriteFile(Saved(kBackupRecordName), Ascii(record, false));
  WriteFile(Saved("cut.dll"), Ascii("cut"));
  const RestoreOutcome outcome = RestoreBackedUpLibraries(state_, {});
  ASSERT_EQ(outcome.restored.size(), 1u);
  EXPECT_EQ(outcome.restored[0].second, second);
  EXPECT_TRUE(outcome.kept.empty());
  EXPECT_EQ(ReadFile(second), Ascii("from the second folder"));
  EXPECT_FALSE(PathExists(first));
  EXPECT_TRUE(PathExists(Saved("cut.dll")));
  EXPECT_EQ(ReadBackupRecord(backup_).back().action, kRecordRestored);
}

TEST_F(BackupRestoreTest, NameTakenInTheBackupFolderIsNamedWithItsReasonAndNotRecorded) {
  installation_.WriteFile("lib/free.dll", Ascii("free"));
  installation_.WriteFile("lib/taken.dll", Ascii("new"));
  WriteFile(Saved("Taken.DLL"), Ascii("an earlier backup"));
  Collect();
  view_.statuses.clear();
  const BackupOutcome outcome = BackupFoundLibraries(state_);
  EXPECT_EQ(outcome.moved, 1);
  ASSERT_EQ(outcome.kept.size(), 1u);
  EXPECT_EQ(outcome.kept[0], (std::pair<std::string, std::string>{"taken.dll", "name taken in the backup folder"}));
  EXPECT_EQ(view_.statuses,
            (std::vector<std::string>{"Backuping free.dll", "Not moved taken.dll: name taken in the backup folder",
                                      "1 files backuped"}));
  EXPECT_NE(Log().find("not moved " + Lib("taken.dll") + ": name taken in the backup folder\n"), std::string::npos);
  EXPECT_NE(Log().find("        1 really moved\n"), std::string::npos);
  EXPECT_EQ(BackupOutcomeText(outcome, kAllNames), "Not moved: 1\n  taken.dll: name taken in the backup folder\n");
  const std::vector<BackupRecordEntry> record = ReadBackupRecord(backup_);
  ASSERT_EQ(record.size(), 1u) << "no line for the library that stayed";
  EXPECT_EQ(record[0].name, "free.dll");
  EXPECT_EQ(ReadFile(Lib("taken.dll")), Ascii("new"));
}

// A real library of Wine's (of the installed Wine natively, of the prefix
// under Wine) carries the marker; one the MinGW compiler built does not.
TEST_F(BackupRestoreTest, WinesOwnLibrariesArePassedOverAndNamed) {
  std::string wineLibrary;
  for (const char* path : {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll",
                           "C:\\windows\\system32\\kernel32.dll"}) {
    if (fs::exists(path)) wineLibrary = path;
  }
  if (wineLibrary.empty()) GTEST_SKIP() << "Wine is not installed: no library of Wine's to look at";
  const std::string plainLibrary = TARNWICK_PLAIN_LIBRARY;
  if (!fs::exists(plainLibrary)) GTEST_SKIP() << "no MinGW-built library at " << plainLibrary;
  EXPECT_TRUE(HasWineBuiltinMarker(wineLibrary)) << wineLibrary;
  EXPECT_FALSE(HasWineBuiltinMarker(plainLibrary));

  fs::copy_file(wineLibrary, Lib("winelib.dll"));
  fs::copy_file(plainLibrary, Lib("plain.dll"));
  Bytes cut = ReadFile(wineLibrary);
  cut.resize(0x40 + 15);  // the marker but its last character
  WriteFile(Lib("short.dll"), cut);
  Collect();
  const BackupOutcome outcome = BackupFoundLibraries(state_);
  EXPECT_EQ(outcome.moved, 2);
  EXPECT_EQ(outcome.wineOwn, std::vector<std::string>{"winelib.dll"});
  EXPECT_TRUE(PathExists(Lib("winelib.dll")));
  EXPECT_TRUE(PathExists(Saved("plain.dll")));
  EXPECT_TRUE(PathExists(Saved("short.dll")));
  EXPECT_EQ(BackupOutcomeText(outcome, kAllNames), "Passed over as Wine's own: 1 (winelib.dll)\n");
  EXPECT_NE(Log().find("passed over " + Lib("winelib.dll") + ": Wine's own library\n"), std::string::npos);
}

}  // namespace
}  // namespace testbuild
