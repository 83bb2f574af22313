// The POSIX move: a name that differs only in case is taken, and a copy to
// another file system that fails half-way leaves the original and no part of
// the copy.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/file_ops.h"
#include "tests/builders/scratch_dir.h"

namespace fs = std::filesystem;

namespace testbuild {
namespace {

TEST(FileOpsPosixTest, NameThatDiffersOnlyInCaseCountsAsTaken) {
  ScratchDir dir;
  const std::string source = dir.Write("lib/abc.dll", Ascii("new"));
  dir.Write("backup/ABC.DLL", Ascii("old"));
  EXPECT_EQ(MoveFileNoReplace(source, dir.Join("backup/abc.dll")).failure, kMoveNameTaken);
  EXPECT_TRUE(fs::exists(source));
  EXPECT_EQ(ReadFile(dir.Join("backup/ABC.DLL")), Ascii("old"));
}

// The child may write no file larger than 64 KiB, so the copy of a 1 MiB
// library to the other file system stops with EFBIG.
TEST(FileOpsPosixTest, CopyThatFailsHalfWayKeepsTheOriginalAndLeavesNoPart) {
  ScratchDir dir;
  struct stat here, there;
  if (stat(dir.path().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  Bytes content(1024 * 1024);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
  const std::string source = dir.Write("lib/large.dll", content);
  const fs::path folder = fs::path("/dev/shm") / ("tarnwick-efbig-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {64 * 1024, 64 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    const MoveResult result = MoveFileNoReplace(source, (folder / "large.dll").string());
    _exit(result.ok() ? 0 : result.code == EFBIG ? 3 : 4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3) << "the move fails with EFBIG";
  EXPECT_EQ(ReadFile(source), content);
  EXPECT_TRUE(fs::is_empty(folder)) << "no partial copy, under any name";
  fs::remove_all(folder);
}

TEST(FileOpsPosixTest, MoveToAnotherFileSystemKeepsTheOwnerWhereAllowed) {
  if (geteuid() != 0) GTEST_SKIP() << "only root may give a file to another owner";
  if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
  ScratchDir dir;
  const std::string source = dir.Write("own.dll", Ascii("a user's library"));
  ASSERT_EQ(chown(source.c_str(), 1234, 1235), 0);
  const std::string destination = "/dev/shm/tarnwick-owner-test-" + std::to_string(getpid()) + ".dll";
  const MoveResult moved = MoveFileNoReplace(source, destination);
  ASSERT_TRUE(moved.ok()) << MoveFailureText(moved);
  struct stat st;
  ASSERT_EQ(stat(destination.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 1234u);
  EXPECT_EQ(st.st_gid, 1235u);
  std::remove(destination.c_str());
}

TEST(FileOpsPosixTest, PartialCopiesOfEndedProcessesAreRemoved) {
  ScratchDir dir;
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  waitpid(child, nullptr, 0);
  const std::string ended = dir.Write(".tarnwick-partial-" + std::to_string(child) + "-0", Ascii("half"));
  const std::string running = dir.Write(".tarnwick-partial-" + std::to_string(getpid()) + "-0", Ascii("under way"));
  const std::string library = dir.Write("kept.dll", Ascii("a library"));
  EXPECT_EQ(RemoveAbandonedPartialCopies(dir.path()), 1);
  EXPECT_FALSE(fs::exists(ended));
  EXPECT_TRUE(fs::exists(running));
  EXPECT_TRUE(fs::exists(library));
}

}  // namespace
}  // namespace testbuild
