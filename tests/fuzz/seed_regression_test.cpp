// Every seed of the fuzzer's corpus, and every prefix and one-byte change of
// the smaller ones, through the fuzz target's own entry point.
#include <gtest/gtest.h>

#include <cstdint>

#include "samples/sample_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(FuzzSeedRegressionTest, EverySeedAndItsPrefixes) {
  for (const samples::SampleFile& seed : samples::SampleFiles()) {
    SCOPED_TRACE(seed.name);
    const testbuild::Bytes& bytes = seed.bytes;
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    // Files cut at every header boundary and a stride through the rest.
    for (std::size_t cut = 0; cut < bytes.size(); cut += cut < 0x200 ? 7 : 0x1F1) {
      LLVMFuzzerTestOneInput(bytes.data(), cut);
    }
  }
}

TEST(FuzzSeedRegressionTest, SingleByteChangesOfTheHeaders) {
  for (const samples::SampleFile& seed : samples::SampleFiles()) {
    testbuild::Bytes bytes = seed.bytes;
    const std::size_t limit = bytes.size() < 0x300 ? bytes.size() : 0x300;
    for (std::size_t at = 0; at < limit; at += 3) {
      const std::uint8_t kept = bytes[at];
      for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x80}}) {
        bytes[at] = value;
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      }
      bytes[at] = kept;
    }
  }
}

}  // namespace
