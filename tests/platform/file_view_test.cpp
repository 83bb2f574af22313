// Behaviour that both implementations of reading a file into a buffer share.
#include "platform/file_view.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

Bytes Numbered(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

Bytes Part(const Bytes& bytes, std::size_t start, std::size_t end) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

TEST(FileViewTest, ReadsTheHeadFirstAndTheRestWhenAsked) {
  ScratchDir dir;
  const Bytes bytes = Numbered(10000);
  const std::string path = dir.Write("program.bin", bytes);
  ReadBuffer buffer(1 << 20, 4096);
  FileView file;
  ASSERT_EQ(file.Open(path.c_str(), &buffer), 0);
  EXPECT_EQ(file.size(), bytes.size());
  EXPECT_EQ(file.available(), 4096u);
  const std::uint8_t* before = file.data();
  EXPECT_EQ(Bytes(file.data(), file.data() + 4096), Part(bytes, 0, 4096));
  file.Touch(4096);
  EXPECT_EQ(file.available(), 4096u) << "the head holds what was touched";
  file.Touch(4097);
  EXPECT_EQ(file.data(), before) << "the bytes read first stay where they are";
  EXPECT_EQ(file.available(), bytes.size());
  EXPECT_EQ(Bytes(file.data(), file.data() + file.size()), bytes);
  EXPECT_FALSE(file.Faulted());

  // The same buffer for the next file, a small one read whole at once.
  const Bytes small = Numbered(300);
  ASSERT_EQ(file.Open(dir.Write("small.bin", small).c_str(), &buffer), 0);
  EXPECT_EQ(file.available(), 300u);
  EXPECT_EQ(Bytes(file.data(), file.data() + 300), small);
  EXPECT_EQ(ReadFile(path), bytes) << "the file is never changed";
}

TEST(FileViewTest, FilesLargerThanTheBufferTakesAndNoBufferAreMapped) {
  ScratchDir dir;
  const Bytes bytes = Numbered(5000);
  const std::string path = dir.Write("large.bin", bytes);
  ReadBuffer small(4999, 16);
  for (ReadBuffer* buffer : {&small, static_cast<ReadBuffer*>(nullptr)}) {
    FileView file;
    ASSERT_EQ(file.Open(path.c_str(), buffer), 0);
    EXPECT_EQ(file.available(), bytes.size()) << "a mapping holds every byte at once";
    EXPECT_EQ(Bytes(file.data(), file.data() + file.size()), bytes);
  }
}

TEST(FileViewTest, FailuresAreThoseOfTheMapping) {
  ScratchDir dir;
  ReadBuffer buffer;
  for (ReadBuffer* given : {&buffer, static_cast<ReadBuffer*>(nullptr)}) {
    FileView file;
    EXPECT_EQ(file.Open(dir.Join("missing").c_str(), given), kMapCantOpen);
    EXPECT_EQ(file.Open(dir.path().c_str(), given), kMapCantOpen);
    EXPECT_EQ(file.Open(dir.Write("empty", {}).c_str(), given), kMapCantMap);
    EXPECT_EQ(file.data(), nullptr);
    EXPECT_EQ(file.size(), 0u);
  }
}

// As reading a truncated mapping faults only on the pages the file no
// longer reaches, bytes lost but never touched cost nothing.
TEST(FileViewTest, BytesLostBeforeTheyWereReadAreZerosAndAFaultOnlyWhereTouched) {
  ScratchDir dir;
  const std::string path = dir.Write("shrinking.bin", Numbered(9000));
  ReadBuffer buffer(1 << 20, 1000);
  FileView file;
  ASSERT_EQ(file.Open(path.c_str(), &buffer), 0);
  {
    // Another program rewrites the file shorter while it is open.
    std::FILE* writer = std::fopen(path.c_str(), "wb");
    ASSERT_NE(writer, nullptr);
    const Bytes shorter = Numbered(2000);
    std::fwrite(shorter.data(), 1, shorter.size(), writer);
    std::fclose(writer);
  }
  file.ReadRest();
  ASSERT_EQ(file.size(), 9000u);
  EXPECT_EQ(Bytes(file.data() + 1000, file.data() + 2000), Part(Numbered(2000), 1000, 2000));
  EXPECT_EQ(Bytes(file.data() + 2000, file.data() + 9000), Bytes(7000, 0));
  file.Touch(2000);
  EXPECT_FALSE(file.Faulted()) << "every byte touched is there";
  file.Touch(4096);
  EXPECT_FALSE(file.Faulted()) << "the page that holds the file's end reads as zeros";
  file.Touch(4097);
  EXPECT_TRUE(file.Faulted());
}

}  // namespace
}  // namespace testbuild
