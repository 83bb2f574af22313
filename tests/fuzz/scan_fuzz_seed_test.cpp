// Every seed of the content-scan fuzz target, its prefixes and one-byte
// changes, through the same decoding and comparison as the fuzz target.
#include <gtest/gtest.h>

#include <cstdint>

#include "fuzz/scan_comparison.h"
#include "fuzz/scan_fuzz_input.h"
#include "fuzz/scan_fuzz_seeds.h"

namespace {

void ExpectSameMarks(const std::vector<std::uint8_t>& bytes, std::size_t size) {
  const std::string difference = scancompare::CompareScans(scancompare::DecodeScanFuzzInput(bytes.data(), size));
  EXPECT_TRUE(difference.empty()) << difference;
}

TEST(ScanFuzzSeedTest, EverySeedAndItsPrefixes) {
  for (const auto& seed : scancompare::ScanFuzzSeeds()) {
    for (std::size_t cut = 0; cut <= seed.size(); cut += cut < 16 ? 1 : 5) ExpectSameMarks(seed, cut);
    ExpectSameMarks(seed, seed.size());
  }
}

TEST(ScanFuzzSeedTest, SingleByteChanges) {
  for (auto seed : scancompare::ScanFuzzSeeds()) {
    for (std::size_t at = 0; at < seed.size(); at += 7) {
      const std::uint8_t kept = seed[at];
      for (std::uint8_t value : {std::uint8_t{0}, std::uint8_t{'F'}, std::uint8_t{0xFF}}) {
        seed[at] = value;
        ExpectSameMarks(seed, seed.size());
      }
      seed[at] = kept;
    }
  }
}

}  // namespace
