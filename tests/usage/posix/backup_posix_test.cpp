// The POSIX move of the backup: never a replacement, never a copy.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/file_ops.h"
#include "tests/builders/scratch_dir.h"

namespace fs = std::filesystem;

namespace testbuild {
namespace {

TEST(BackupPosixTest, NameThatDiffersOnlyInCaseCountsAsTaken) {
  ScratchDir dir;
  const std::string source = dir.Write("lib/abc.dll", Ascii("new"));
  dir.Write("backup/ABC.DLL", Ascii("old"));
  EXPECT_FALSE(MoveFileNoReplace(source, dir.Join("backup/abc.dll")));
  EXPECT_TRUE(fs::exists(source));
  EXPECT_EQ(ReadFile(dir.Join("backup/ABC.DLL")), Ascii("old"));
}

TEST(BackupPosixTest, MoveKeepsTheFileAndRefusesToReplace) {
  ScratchDir dir;
  const std::string source = dir.Write("lib/Mixed.DLL", Ascii("library"));
  fs::create_directories(dir.Join("backup"));
  ASSERT_TRUE(MoveFileNoReplace(source, dir.Join("backup/mixed.dll")));
  EXPECT_FALSE(fs::exists(source));
  EXPECT_EQ(ReadFile(dir.Join("backup/mixed.dll")), Ascii("library"));
  const std::string again = dir.Write("lib/mixed.dll", Ascii("second"));
  EXPECT_FALSE(MoveFileNoReplace(again, dir.Join("backup/mixed.dll")));
  EXPECT_EQ(ReadFile(dir.Join("backup/mixed.dll")), Ascii("library"));
}

TEST(BackupPosixTest, MoveToAnotherFileSystemFailsAndKeepsTheFile) {
  ScratchDir dir;
  const std::string source = dir.Write("lib/x.dll", Ascii("library"));
  struct stat here, there;
  if (stat(dir.path().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev) {
    GTEST_SKIP() << "no second file system to move to";
  }
  const std::string destination = "/dev/shm/tarnwick-backup-test-x.dll";
  fs::remove(destination);
  EXPECT_FALSE(MoveFileNoReplace(source, destination));
  EXPECT_TRUE(fs::exists(source));
  EXPECT_FALSE(fs::exists(destination));
}

}  // namespace
}  // namespace testbuild
