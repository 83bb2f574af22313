// Moves as both platform layers make them: never a replacement, across file
// systems a complete copy with its times, and the reason of every failure.
// TARNWICK_OTHER_VOLUME names a folder on another file system (under Wine a
// drive letter mapped into a tmpfs); without it, /dev/shm.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/file_ops.h"
#include "tests/builders/scratch_dir.h"

namespace fs = std::filesystem;

namespace testbuild {
namespace {

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  std::uint32_t value = 12345;
  for (auto& byte : bytes) {
    value = value * 1103515245u + 12345u;
    byte = static_cast<std::uint8_t>(value >> 16);
  }
  return bytes;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(FileOpsTest, TakenOrMissingNamesAreRefusedWithTheirReason) {
  ScratchDir dir;
  const std::string source = dir.Write("lib/Mixed.DLL", Ascii("library"));
  fs::create_directories(dir.Join("backup"));
  ASSERT_TRUE(MoveFileNoReplace(source, dir.Join("backup/mixed.dll")).ok());
  EXPECT_FALSE(fs::exists(source));
  EXPECT_TRUE(NameTaken(dir.Join("backup/MIXED.dll")));

  const std::string again = dir.Write("lib/mixed.dll", Ascii("second"));
  const MoveResult taken = MoveFileNoReplace(again, dir.Join("backup/MIXED.DLL"));
  EXPECT_EQ(taken.failure, kMoveNameTaken);
  EXPECT_EQ(MoveFailureText(taken), "name taken");
  EXPECT_EQ(ReadFile(again), Ascii("second"));
  EXPECT_EQ(ReadFile(dir.Join("backup/mixed.dll")), Ascii("library"));

  const MoveResult missing = MoveFileNoReplace(dir.Join("lib/absent.dll"), dir.Join("backup/absent.dll"));
  EXPECT_EQ(missing.failure, kMoveNotFound);
  EXPECT_EQ(MoveFailureText(missing), "not found");
  EXPECT_FALSE(NameTaken(dir.Join("backup/absent.dll")));
}

TEST(FileOpsTest, MoveToAnotherFileSystemCopiesEveryByteAndKeepsTheTimes) {
  const char* named = std::getenv("TARNWICK_OTHER_VOLUME");
  const std::string other = named != nullptr ? named : "/dev/shm";
  if (!fs::is_directory(other)) GTEST_SKIP() << "no folder on another file system (TARNWICK_OTHER_VOLUME)";
  ScratchDir dir;
  const Bytes content = Pattern(700 * 1024 + 13);
  const std::string source = dir.Write("lib/big.dll", content);
  const auto written = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(source, written);
  fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                  fs::perm_options::replace);
  const fs::perms mode = fs::status(source).permissions();

  const fs::path folder = fs::path(other) / ("tarnwick-move-test-" + std::to_string(std::rand()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const MoveResult moved = MoveFileNoReplace(source, (folder / "big.dll").string());
  EXPECT_TRUE(moved.ok()) << MoveFailureText(moved);
  EXPECT_FALSE(fs::exists(source));
  EXPECT_EQ(ReadFile((folder / "big.dll").string()), content);
  EXPECT_EQ(fs::status(folder / "big.dll").permissions(), mode);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(fs::last_write_time(folder / "big.dll") - written).count(),
            0);
  EXPECT_EQ(Names(folder.string()), std::vector<std::string>{"big.dll"}) << "no copy left under another name";

  // Across file systems a taken name is refused just the same.
  const std::string second = dir.Write("lib/BIG.DLL", Ascii("another"));
  EXPECT_EQ(MoveFileNoReplace(second, (folder / "big.dll").string()).failure, kMoveNameTaken);
  EXPECT_EQ(ReadFile(second), Ascii("another"));
  EXPECT_EQ(ReadFile((folder / "big.dll").string()), content);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace testbuild
