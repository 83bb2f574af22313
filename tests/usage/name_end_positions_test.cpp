// The name-end filter's two vector forms against each other and against the
// byte loop: over random regions of zeros, letters and other bytes, each
// must visit every position the rule admits, and the two vector forms the
// same ones.
#include "usage/name_end_positions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

#ifdef TARNWICK_NAME_ENDS_SSE2
std::vector<std::uint64_t> Visited(const std::vector<std::uint8_t>& bytes, const NameEndFilter& filter, bool avx2) {
  std::vector<std::uint64_t> visited;
  auto visit = [&](std::uint64_t z) {
    visited.push_back(z);
    return true;
  };
  const std::uint64_t rest = avx2 ? NameEndBlocksAvx2(bytes.data(), bytes.size(), filter, visit)
                                  : NameEndBlocksSse2(bytes.data(), bytes.size(), filter, visit);
  for (std::uint64_t z = rest > 1 ? rest : 1; z < bytes.size(); ++z) {
    if (bytes[z] == 0 && bytes[z - 1] != 0) visit(z);
  }
  return visited;
}

TEST(NameEndPositionsTest, BothVectorFormsVisitEveryAdmittedEnd) {
  if (!ProcessorHasAvx2()) GTEST_SKIP() << "this processor has no AVX2";
  std::mt19937 random(7);
  const NameEndFilter filters[] = {{'.', 'z', false}, {'a', 'c', true}, {1, 0x7F, false}};
  for (int round = 0; round < 400; ++round) {
    std::vector<std::uint8_t> bytes(random() % 300);
    for (std::uint8_t& byte : bytes) {
      const unsigned kind = random() % 4;
      byte = kind == 0 ? 0 : kind == 1 ? static_cast<std::uint8_t>('a' + random() % 3) : static_cast<std::uint8_t>(random());
    }
    for (const NameEndFilter& filter : filters) {
      const std::vector<std::uint64_t> sse2 = Visited(bytes, filter, false);
      ASSERT_EQ(Visited(bytes, filter, true), sse2) << "round " << round;
      // Every 8-bit end whose last two bytes lie in the range is among them.
      for (std::uint64_t z = 2; z < bytes.size(); ++z) {
        const auto in = [&](std::uint8_t b) { return b >= filter.lowest && b <= filter.highest; };
        if (bytes[z] == 0 && in(bytes[z - 1]) && in(bytes[z - 2])) {
          ASSERT_TRUE(std::find(sse2.begin(), sse2.end(), z) != sse2.end()) << "round " << round << " at " << z;
        }
      }
    }
  }
}
#endif

}  // namespace
