// The drive search over a Wine-style prefix, and the walk's hostile cases:
// special files, link loops, unreadable folders, over-long paths.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "config/log.h"
#include "config/settings.h"
#include "platform/drives.h"
#include "tests/builders/exe_builders.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/candidates.h"
#include "usage/drive_search.h"
#include "usage/process_state.h"
#include "usage/usage_records.h"

namespace fs = std::filesystem;

namespace testbuild {
namespace {

Bytes Importing(const std::string& module) {
  PeImage pe;
  pe.imports = {module};
  return pe.Build();
}

class DriveSearchPosixTest : public ::testing::Test {
 protected:
  DriveSearchPosixTest() {
    prefix_ = std::getenv("WINEPREFIX");
    log_ = installation_.Folder("log") + "/tarnwick.log";
    LogOpen(log_.c_str());
    state_.view = &view_;
  }

  void Candidates(std::vector<std::string> names) {
    for (const std::string& name : names) AddCandidate(state_, state_.CandidateList, name.c_str(), "");
    ListCandidates(state_);
  }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::istringstream text([this] {
      const Bytes bytes = ReadFile(log_);
      return std::string(bytes.begin(), bytes.end());
    }());
    for (std::string line; std::getline(text, line);) {
      if (line.rfind("Log File", 0) != 0) lines.push_back(line);
    }
    return lines;
  }

  void Write(const std::string& path, const Bytes& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, bytes);
  }

  TestInstallation installation_;
  RecordingView view_;
  ProcessState state_;
  std::string prefix_;
  std::string log_;
};

TEST_F(DriveSearchPosixTest, OnlySelectedFixedDrivesAreSearchedInLetterOrder) {
  const std::string driveC = fs::canonical(prefix_ + "/drive_c").string() + "/";
  const std::string driveE = installation_.Folder("e-drive");
  fs::create_directory_symlink(driveE, prefix_ + "/dosdevices/e:");
  fs::create_symlink(prefix_ + "/nowhere", prefix_ + "/dosdevices/d:");  // like an empty CD drive
  Write(driveC + "app/one.exe", Importing("ONE.dll"));
  Write(driveE + "/two.exe", Importing("two.dll"));
  Candidates({"one.dll", "two.dll", "three.dll"});
  std::snprintf(state_.settings.DriveSelection, 26, "EZDC");
  fs::remove(prefix_ + "/dosdevices/z:");
  state_.ImportsOnlyMode = 1;
  SearchDrives(state_);
  const std::string rootE = fs::canonical(driveE).string() + "/";
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "Processing Drive : " + driveC + " (3 dlls left)",
                            "found one.dll\t32\t" + driveC + "app/one.exe(32-bit exe or dll)",
                            "Processing Drive : " + rootE + " (2 dlls left)",
                            "found two.dll\t32\t" + rootE + "two.exe(32-bit exe or dll)",
                        }));
  EXPECT_EQ(std::string(state_.SearchRoot), rootE);
  EXPECT_EQ(view_.statuses.back(), rootE) << "the root of the drive just finished";
  EXPECT_TRUE(IsFixedDrive('C'));
  EXPECT_FALSE(IsFixedDrive('D'));
}

TEST_F(DriveSearchPosixTest, LowerCaseOrFloppyLettersSearchNothing) {
  Candidates({"one.dll"});
  for (const char* selection : {"cd", "AB", ""}) {
    std::snprintf(state_.settings.DriveSelection, 26, "%s", selection);
    SearchDrives(state_);
  }
  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(state_.ImportTablesSearched, 0);
}

TEST_F(DriveSearchPosixTest, LastFindEndsTheSearchBeforeTheNextDrive) {
  const std::string driveC = fs::canonical(prefix_ + "/drive_c").string() + "/";
  Write(driveC + "a/one.exe", Importing("one.dll"));
  Write(driveC + "a/zzz.exe", Importing("one.dll"));
  fs::create_directory_symlink(installation_.Folder("e"), prefix_ + "/dosdevices/e:");
  Candidates({"one.dll"});
  std::snprintf(state_.settings.DriveSelection, 26, "CE");
  SearchDrives(state_);
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Processing Drive : " + driveC + " (1 dlls left)");
  EXPECT_EQ(state_.ImportTablesSearched, 1) << "zzz.exe comes after the last find";
  EXPECT_EQ(std::string(state_.SearchRoot), driveC);
}

TEST_F(DriveSearchPosixTest, WalkSurvivesSpecialFilesLoopsAndLongPaths) {
  const std::string root = installation_.Folder("hostile");
  Write(root + "/a/pipe-neighbour.exe", Importing("late.dll"));
  ASSERT_EQ(mkfifo((root + "/a/fifo").c_str(), 0600), 0);
  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  const std::string socketPath = root + "/a/socket";
  if (socketPath.size() < sizeof address.sun_path) {
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  fs::create_directory_symlink(root, root + "/a/loop");
  fs::create_symlink(root + "/gone", root + "/a/dangling.exe");
  fs::create_directory_symlink("/proc", root + "/a/proc");
  fs::create_directories(root + "/closed");
  Write(root + "/closed/inside.exe", Importing("closed.dll"));
  chmod((root + "/closed").c_str(), 0);
  std::string deep = root + "/deep";
  while (deep.size() < 300) deep += "/nnnnnnnnnnnnnnnnnnnn";
  Write(deep + "/far.exe", Importing("far.dll"));
  Write(root + "/z/last.exe", Importing("last.dll"));

  Candidates({"late.dll", "far.dll", "last.dll"});
  std::snprintf(state_.settings.DriveSelection, 26, "%s", "/x");
  std::snprintf(state_.SearchRoot, 260, "%s", root.c_str());
  SearchDrives(state_);
  chmod((root + "/closed").c_str(), 0700);
  close(sock);

  const auto found = [this](int i) { return CandidateAt(state_.CandidateList, i)->found; };
  EXPECT_EQ(found(0), 1);
  EXPECT_EQ(found(1), 0) << "a path past 260 characters is passed over";
  EXPECT_EQ(found(2), 1) << "the walk goes on after all of it";
  EXPECT_EQ(LogLines().front(), "Directory : " + root);
}

TEST(VirtualFileSystemTest, SystemViewsAreRecognised) {
  EXPECT_TRUE(IsVirtualFileSystem("/proc"));
  if (fs::exists("/sys/kernel")) {
    EXPECT_TRUE(IsVirtualFileSystem("/sys"));
  }
  EXPECT_FALSE(IsVirtualFileSystem(fs::temp_directory_path().string()));
}

}  // namespace
}  // namespace testbuild
