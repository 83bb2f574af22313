// Behaviour that both implementations of the file mapping share.
#include "platform/mapped_file.h"

#include <gtest/gtest.h>

#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

TEST(MappedFileTest, MapsTheWholeFileReadOnly) {
  ScratchDir dir;
  Bytes bytes(3 * 4096 + 17);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  const std::string path = dir.Write("three-pages.bin", bytes);
  {
    MappedFile file;
    ASSERT_EQ(file.Open(path.c_str()), 0);
    ASSERT_EQ(file.size(), bytes.size());
    EXPECT_EQ(Bytes(file.data(), file.data() + file.size()), bytes);
    EXPECT_FALSE(file.Faulted());
  }
  EXPECT_EQ(ReadFile(path), bytes) << "the file is never changed";
}

TEST(MappedFileTest, FailuresSayWhetherOpeningOrMappingFailed) {
  ScratchDir dir;
  MappedFile file;
  EXPECT_EQ(file.Open(dir.Join("missing").c_str()), kMapCantOpen);
  EXPECT_EQ(file.Open(dir.path().c_str()), kMapCantOpen);
  EXPECT_EQ(file.Open(dir.Write("empty", {}).c_str()), kMapCantMap);
  EXPECT_EQ(file.data(), nullptr);
  EXPECT_EQ(file.size(), 0u);
}

TEST(MappedFileTest, ReopeningReleasesTheFormerFile) {
  ScratchDir dir;
  const std::string first = dir.Write("first", Bytes(10, 1));
  const std::string second = dir.Write("second", Bytes(20, 2));
  MappedFile file;
  ASSERT_EQ(file.Open(first.c_str()), 0);
  ASSERT_EQ(file.Open(second.c_str()), 0);
  EXPECT_EQ(file.size(), 20u);
  EXPECT_EQ(file.data()[19], 2);
  // A failed open leaves nothing mapped.
  EXPECT_EQ(file.Open(dir.Join("missing").c_str()), kMapCantOpen);
  EXPECT_EQ(file.data(), nullptr);
}

}  // namespace
}  // namespace testbuild
