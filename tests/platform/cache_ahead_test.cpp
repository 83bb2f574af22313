// Reading ahead into the file cache, as both platforms must do it: never
// more than asked, never a change to the file, nothing from what is no file.
#include "platform/cache_ahead.h"

#include <gtest/gtest.h>

#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

TEST(CacheAheadTest, ReadsAtMostTheLimitAndChangesNothing) {
  ScratchDir dir;
  Bytes bytes(10000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 13);
  const std::string path = dir.Write("program.exe", bytes);
  EXPECT_LE(CacheFileAhead(path.c_str(), 4096), 4096u);
  EXPECT_LE(CacheFileAhead(path.c_str(), 1 << 20), bytes.size());
  EXPECT_EQ(CacheFileAhead(path.c_str(), 0), 0u);
  EXPECT_EQ(ReadFile(path), bytes);

  EXPECT_EQ(CacheFileAhead(dir.Join("missing.exe").c_str(), 1 << 20), 0u);
  EXPECT_EQ(CacheFileAhead(dir.path().c_str(), 1 << 20), 0u) << "a folder is no file";
  if (!CacheAheadAvailable()) {
    // The platform's promise to a caller that reads ahead anyway.
    EXPECT_EQ(CacheFileAhead(path.c_str(), 1 << 20), 0u);
  }
}

}  // namespace
}  // namespace testbuild
