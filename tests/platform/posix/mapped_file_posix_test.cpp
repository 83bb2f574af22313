// POSIX-only behaviour of the mapping: files that shrink under the view, and
// special files that must never be opened.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "analysis/analyze_file.h"
#include "platform/mapped_file.h"
#include "tests/builders/exe_builders.h"
#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

TEST(MappedFilePosixTest, TruncatedFileReadsZerosAndReportsTheFault) {
  ScratchDir dir;
  const std::string path = dir.Write("shrinking.bin", Bytes(5 * 4096, 0xAB));
  MappedFile file;
  ASSERT_EQ(file.Open(path.c_str()), 0);
  ASSERT_EQ(truncate(path.c_str(), 4096), 0);
  EXPECT_EQ(file.data()[100], 0xAB);
  EXPECT_FALSE(file.Faulted());
  EXPECT_EQ(file.data()[3 * 4096 + 5], 0) << "a page past the new end reads as zeros";
  EXPECT_TRUE(file.Faulted());
}

int TruncateThenRead(const std::uint8_t* start, std::uint32_t length, void* context, int) {
  truncate(static_cast<const char*>(context), 0);
  unsigned sum = 0;
  for (std::uint32_t i = 0; i < length; ++i) sum += start[i];
  return static_cast<int>(sum);
}

TEST(MappedFilePosixTest, AnalysisOfAFileTruncatedMeanwhileEndsAsAFault) {
  ScratchDir dir;
  const std::string path = dir.Write("registry", BuildNtRegistry({}, 64 * 1024));
  EXPECT_EQ(AnalyzeFile(path.c_str(), TruncateThenRead, const_cast<char*>(path.c_str()), nullptr),
            AE_ACCESS_VIOLATION);
  // The process goes on, and the next file is analysed as usual.
  const std::string next = dir.Write("next", BuildNtRegistry({}, 8192));
  EXPECT_EQ(AnalyzeFile(next.c_str(), nullptr, nullptr, nullptr), FK_NT_REGISTRY);
}

TEST(MappedFilePosixTest, FifoIsNotOpened) {
  ScratchDir dir;
  const std::string path = dir.Join("pipe");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  MappedFile file;
  EXPECT_EQ(file.Open(path.c_str()), kMapCantOpen);  // returns at once, never blocks
  EXPECT_EQ(file.Open("/dev/null"), kMapCantOpen);
}

TEST(MappedFilePosixTest, FaultOutsideAnyMappingStillKillsTheProcess) {
  EXPECT_DEATH(
      {
        ScratchDir dir;
        const std::string path = dir.Write("other.bin", Bytes(4 * 4096, 1));
        MappedFile guarded;
        ASSERT_EQ(guarded.Open(dir.Write("guarded.bin", Bytes(10, 1)).c_str()), 0);
        raise(SIGBUS);
      },
      "");
}

}  // namespace
}  // namespace testbuild
