// Many files mapped in turn, and several at once: each view shows its own
// file's bytes, whatever was mapped and released before it (the POSIX side
// reuses the address space of released views, emptying it in batches).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/mapped_file.h"
#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

// A file of size bytes whose bytes at the start, the middle and the end
// are mark; the rest reads as zeros.
std::string MarkedFile(const ScratchDir& dir, const std::string& name, std::uint64_t size, std::uint8_t mark) {
  const std::string path = dir.Write(name, Bytes{mark});
  std::filesystem::resize_file(path, size);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  for (std::uint64_t at : {size / 2, size - 1}) {
    file.seekp(static_cast<std::streamoff>(at));
    file.put(static_cast<char>(mark));
  }
  return path;
}

void ExpectMarked(const MappedFile& file, std::uint64_t size, std::uint8_t mark) {
  ASSERT_EQ(file.size(), size);
  EXPECT_EQ(file.data()[0], mark);
  EXPECT_EQ(file.data()[size / 2], mark);
  EXPECT_EQ(file.data()[size - 1], mark);
  if (size >= 8) {
    EXPECT_EQ(file.data()[size / 4], 0);
  }
}

std::uint64_t SizeOf(int i) {
  return 1 + static_cast<std::uint64_t>(i % 7) * 700'000 + static_cast<std::uint64_t>(i) * 4097;
}

TEST(MappedViewsTest, ManyFilesInTurnShowTheirOwnBytes) {
  ScratchDir dir;
  // Together far more than 32 MiB, with one file larger than that.
  std::vector<std::string> paths;
  for (int i = 0; i < 60; ++i) {
    const std::uint64_t size = i == 30 ? (40u << 20) : SizeOf(i);
    paths.push_back(MarkedFile(dir, "file" + std::to_string(i), size, static_cast<std::uint8_t>(i + 1)));
  }
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 60; ++i) {
      MappedFile file;
      ASSERT_EQ(file.Open(paths[static_cast<std::size_t>(i)].c_str()), 0);
      ExpectMarked(file, i == 30 ? (40u << 20) : SizeOf(i), static_cast<std::uint8_t>(i + 1));
    }
  }
}

TEST(MappedViewsTest, ViewsOpenTogetherStayValid) {
  ScratchDir dir;
  std::vector<std::unique_ptr<MappedFile>> open;
  for (int i = 0; i < 30; ++i) {
    const std::uint64_t size = (2u << 20) + static_cast<std::uint64_t>(i);
    const std::string path = MarkedFile(dir, "open" + std::to_string(i), size, static_cast<std::uint8_t>(i + 1));
    open.push_back(std::make_unique<MappedFile>());
    ASSERT_EQ(open.back()->Open(path.c_str()), 0);
    // Every release in between: those views may be reused, these not.
    MappedFile passing;
    ASSERT_EQ(passing.Open(MarkedFile(dir, "passing" + std::to_string(i), 4096, 0xEE).c_str()), 0);
  }
  for (int i = 0; i < 30; ++i) {
    ExpectMarked(*open[static_cast<std::size_t>(i)], (2u << 20) + static_cast<std::uint64_t>(i),
                 static_cast<std::uint8_t>(i + 1));
  }
}

}  // namespace
}  // namespace testbuild
