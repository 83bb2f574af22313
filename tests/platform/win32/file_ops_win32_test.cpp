// Windows moves to another volume that cannot finish: the original stays,
// and no copy is left behind under any name. Run by with_tmpfs_drive.sh
// with TARNWICK_OTHER_VOLUME (a drive mapped into a tmpfs) and, where a
// small tmpfs could be mounted, TARNWICK_FULL_VOLUME.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "tests/builders/scratch_dir.h"

namespace fs = std::filesystem;

namespace testbuild {
namespace {

fs::path FreshFolder(const char* variable) {
  const char* named = std::getenv(variable);
  if (named == nullptr) return fs::path();
  const fs::path folder = fs::path(named) / ("tarnwick-move-test-" + std::to_string(GetCurrentProcessId()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

bool Empty(const fs::path& folder) { return fs::directory_iterator(folder) == fs::directory_iterator(); }

TEST(FileOpsWin32Test, AnotherFileSystemWithTheOriginalHeldOpenKeepsItAndLeavesNoCopy) {
  const fs::path folder = FreshFolder("TARNWICK_OTHER_VOLUME");
  if (folder.empty()) GTEST_SKIP() << "no folder on another volume (TARNWICK_OTHER_VOLUME)";
  ScratchDir dir;
  const std::string source = dir.Write("lib/held.dll", Bytes(4096, 0x5A));
  // Readable for the copy, but not to be deleted while this handle lives.
  HANDLE held = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const MoveResult result = MoveFileNoReplace(source, (folder / "held.dll").string());
  CloseHandle(held);
  EXPECT_EQ(result.failure, kMoveInUse) << MoveFailureText(result);
  EXPECT_EQ(ReadFile(source), Bytes(4096, 0x5A));
  EXPECT_TRUE(Empty(folder)) << "the copy is removed again";
  fs::remove_all(folder);
}

TEST(FileOpsWin32Test, AnotherFileSystemFullKeepsTheOriginalAndLeavesNoPartialCopy) {
  const fs::path folder = FreshFolder("TARNWICK_FULL_VOLUME");
  if (folder.empty()) GTEST_SKIP() << "no small volume mounted (TARNWICK_FULL_VOLUME)";
  ScratchDir dir;
  const Bytes content(512 * 1024, 0x33);
  const std::string source = dir.Write("lib/large.dll", content);
  const MoveResult result = MoveFileNoReplace(source, (folder / "large.dll").string());
  EXPECT_EQ(result.failure, kMoveNoSpace) << MoveFailureText(result);
  EXPECT_EQ(ReadFile(source), content);
  EXPECT_TRUE(Empty(folder)) << "no partial copy under any name";
  fs::remove_all(folder);
}

TEST(FileOpsWin32Test, AnotherFileSystemFromAReadOnlyOneKeepsTheOriginalAndLeavesNoCopy) {
  const fs::path folder = FreshFolder("TARNWICK_OTHER_VOLUME");
  const char* library = std::getenv("TARNWICK_READONLY_LIBRARY");
  if (folder.empty() || library == nullptr) GTEST_SKIP() << "no read-only volume (TARNWICK_READONLY_LIBRARY)";
  const Bytes content = ReadFile(library);
  const MoveResult result = MoveFileNoReplace(library, (folder / "stuck.dll").string());
  EXPECT_FALSE(result.ok()) << "the original cannot go, so nothing is moved";
  EXPECT_EQ(ReadFile(library), content);
  EXPECT_TRUE(Empty(folder)) << "the copy is removed again";
  fs::remove_all(folder);
}

}  // namespace
}  // namespace testbuild
