// The name-end filter's forms (AVX2 blocks, SSE2 blocks, the byte loop)
// against the byte-by-byte rule: over random regions of zeros, name bytes
// and other bytes, each must visit exactly the positions the rule admits.
#include "usage/name_end_positions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// As the scanner makes it: the sets hold letters in both cases.
NameEndFilter FilterOf(const std::vector<std::string>& names) {
  const auto addBothCases = [](NameByteSet& set, char c) {
    set.Add(static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c))));
    set.Add(static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c))));
  };
  NameEndFilter filter;
  filter.lowest = 0xFF;
  for (const std::string& name : names) {
    for (const char c : name) {
      const auto byte = static_cast<unsigned char>(c);
      filter.lowest = std::min({filter.lowest, byte, static_cast<unsigned char>(std::toupper(byte))});
      filter.highest = std::max({filter.highest, byte, static_cast<unsigned char>(std::tolower(byte))});
    }
    addBothCases(filter.lastBytes, name.back());
    if (name.size() == 1) filter.oneByteNames = true;
    if (name.size() >= 2) addBothCases(filter.beforeLastBytes, name[name.size() - 2]);
  }
  return filter;
}

std::vector<std::uint64_t> ByTheRule(const std::vector<std::uint8_t>& bytes, const NameEndFilter& filter) {
  std::vector<std::uint64_t> admitted;
  for (std::uint64_t z = 0; z < bytes.size(); ++z) {
    if (NameMayEndBefore(bytes.data(), bytes.size(), filter, z)) admitted.push_back(z);
  }
  return admitted;
}

enum class Form { kWhole, kSse2, kAvx2 };

std::vector<std::uint64_t> Visited(const std::vector<std::uint8_t>& bytes, const NameEndFilter& filter, Form form,
                                   std::size_t stopAfter = SIZE_MAX) {
  std::vector<std::uint64_t> visited;
  auto visit = [&](std::uint64_t z) {
    visited.push_back(z);
    return visited.size() < stopAfter;
  };
  if (form == Form::kWhole) {
    ForEachPossibleNameEnd(bytes.data(), bytes.size(), filter, visit);
    return visited;
  }
#ifdef TARNWICK_NAME_ENDS_SSE2
  const std::uint64_t rest = form == Form::kAvx2 ? NameEndBlocksAvx2(bytes.data(), bytes.size(), filter, visit)
                                                 : NameEndBlocksSse2(bytes.data(), bytes.size(), filter, visit);
  for (std::uint64_t z = rest; z < bytes.size() && visited.size() < stopAfter; ++z) {
    if (NameMayEndBefore(bytes.data(), bytes.size(), filter, z)) visit(z);
  }
#endif
  return visited;
}

TEST(NameEndPositionsTest, EveryFormVisitsExactlyTheEndsTheRuleAdmits) {
  std::vector<Form> forms{Form::kWhole};
#ifdef TARNWICK_NAME_ENDS_SSE2
  forms.push_back(Form::kSse2);
  if (ProcessorHasAvx2()) forms.push_back(Form::kAvx2);
#endif
  // Names of several lengths, a one-byte name, bytes at both ends of ASCII
  // and letters in both cases.
  const std::vector<std::vector<std::string>> nameSets = {
      {"ab", "cb"}, {"ab", "c"}, {"\x01\x7f", "zz"}, {"kernel32", "kernel32.dll", "msvcrt", "a-b"}};
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::uint8_t> bytes(random() % 300);
    for (std::uint8_t& byte : bytes) {
      const unsigned kind = random() % 5;
      byte = kind <= 1   ? 0
             : kind == 2 ? static_cast<std::uint8_t>("abcABC2ZzlL\x01\x7f"[random() % 13])
                         : static_cast<std::uint8_t>(random());
    }
    for (const auto& names : nameSets) {
      const NameEndFilter filter = FilterOf(names);
      const std::vector<std::uint64_t> admitted = ByTheRule(bytes, filter);
      for (Form form : forms) {
        ASSERT_EQ(Visited(bytes, filter, form), admitted) << "round " << round << ", form " << static_cast<int>(form);
        if (admitted.size() >= 2) {
          // Visiting stops where the visitor asks it to.
          ASSERT_EQ(Visited(bytes, filter, form, 2),
                    std::vector<std::uint64_t>(admitted.begin(), admitted.begin() + 2));
        }
      }
    }
  }
}

TEST(NameEndPositionsTest, RuleAdmitsBothTerminatedFormsOfAName) {
  const NameEndFilter filter = FilterOf({"ab"});
  const std::uint8_t eightBit[] = {'x', 'A', 'b', 0};
  EXPECT_TRUE(NameMayEndBefore(eightBit, sizeof eightBit, filter, 3));
  const std::uint8_t wide[] = {'a', 0, 'B', 0, 0, 0};
  EXPECT_TRUE(NameMayEndBefore(wide, sizeof wide, filter, 3));
  // A UTF-16 name needs the zero after its last unit inside the region.
  EXPECT_FALSE(NameMayEndBefore(wide, 4, filter, 3));
  const std::uint8_t wrongLast[] = {'a', 'a', 0};
  EXPECT_FALSE(NameMayEndBefore(wrongLast, sizeof wrongLast, filter, 2));
  const std::uint8_t high[] = {'a', 0xE2, 0};
  EXPECT_FALSE(NameMayEndBefore(high, sizeof high, FilterOf({"a\xE2"}), 2));
}

}  // namespace
