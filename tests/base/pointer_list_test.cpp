#include "base/pointer_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Elements are small integers smuggled through the pointer.
void* Item(std::intptr_t value) { return reinterpret_cast<void*>(value); }
std::intptr_t Value(const void* item) { return reinterpret_cast<std::intptr_t>(item); }

int compareCalls = 0;
int CompareValues(const void* a, const void* b) {
  ++compareCalls;
  return Value(a) < Value(b) ? -1 : (Value(a) > Value(b) ? 1 : 0);
}

std::vector<void*> released;
void Remember(void* item) { released.push_back(item); }

std::vector<std::intptr_t> Contents(const PointerList& list) {
  std::vector<std::intptr_t> out;
  for (int i = 0; i < list.GetCount(); ++i) out.push_back(Value(list.GetAt(i)));
  return out;
}

TEST(PointerListTest, GrowsAndShrinksInSteps) {
  SortedPointerList list;
  EXPECT_EQ(list.capacity, 0);
  EXPECT_EQ(list.items, nullptr);
  EXPECT_EQ(list.Add(Item(1)), 0);
  EXPECT_EQ(list.capacity, 1024);
  for (int i = 1; i < 1024; ++i) list.Add(Item(i + 1));
  EXPECT_EQ(list.capacity, 1024);
  EXPECT_EQ(list.Add(Item(1025)), 1024);
  EXPECT_EQ(list.capacity, 2048);
  EXPECT_EQ(list.GetCount(), 1025);
  EXPECT_EQ(Value(list.GetAt(1024)), 1025);
  EXPECT_EQ(list.Clear(), 1);
  EXPECT_EQ(list.capacity, 0);
  EXPECT_EQ(list.items, nullptr);
}

TEST(PointerListTest, GetAtOutsideTheListGivesNothing) {
  SortedPointerList list;
  EXPECT_EQ(list.GetAt(0), nullptr);
  list.Add(Item(7));
  EXPECT_EQ(list.GetAt(1), nullptr);
  EXPECT_EQ(list.GetAt(-1), nullptr);
  EXPECT_EQ(Value(list.GetAt(0)), 7);
}

TEST(PointerListTest, UnorderedListAppendsEvenEqualElements) {
  SortedPointerList list;
  EXPECT_EQ(list.Add(Item(5)), 0);
  EXPECT_EQ(list.Add(Item(5)), 1);
  EXPECT_EQ(list.Add(Item(2)), 2);
  EXPECT_EQ(Contents(list), (std::vector<std::intptr_t>{5, 5, 2}));
}

TEST(PointerListTest, OrderedInsertAtEitherEndAndInside) {
  SortedPointerList list;
  list.compare = CompareValues;
  compareCalls = 0;
  EXPECT_EQ(list.Add(Item(50)), 0);
  EXPECT_EQ(compareCalls, 0) << "the first element needs no comparison";
  EXPECT_EQ(list.Add(Item(90)), 1);
  EXPECT_EQ(list.Add(Item(10)), 0);
  EXPECT_EQ(list.Add(Item(70)), 2);
  EXPECT_EQ(Contents(list), (std::vector<std::intptr_t>{10, 50, 70, 90}));
}

TEST(PointerListTest, RefusedDuplicateLeavesTheListAlone) {
  for (std::intptr_t duplicate : {10, 40, 80}) {
    SortedPointerList list;
    list.compare = CompareValues;
    for (std::intptr_t v : {10, 20, 40, 60, 80}) list.Add(Item(v));
    EXPECT_EQ(list.Add(Item(duplicate)), -1) << duplicate;
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.FindInsertPosition(Item(duplicate)), -1);
  }
}

TEST(PointerListTest, AllowedDuplicateGoesBeforeItsEquals) {
  SortedPointerList list;
  list.compare = CompareStrings;
  list.allowDuplicates = 1;
  static char a1[] = "b", a2[] = "b", a3[] = "b", other[] = "a";
  list.Add(a1);
  list.Add(other);
  list.Add(a2);
  EXPECT_EQ(list.Add(a3), 1);
  EXPECT_EQ(list.GetAt(0), other);
  EXPECT_EQ(list.GetAt(1), a3);
  EXPECT_EQ(list.GetAt(2), a2);
  EXPECT_EQ(list.GetAt(3), a1);
}

// The binary search has its own probe and step rules; whatever the list's
// size and contents, it must land on the lower bound.
TEST(PointerListTest, InsertPositionIsTheLowerBoundForAnySize) {
  std::mt19937 random(12345);
  for (int size = 0; size < 80; ++size) {
    for (int round = 0; round < 20; ++round) {
      SortedPointerList list;
      list.compare = CompareValues;
      list.allowDuplicates = 1;
      std::vector<std::intptr_t> values;
      for (int i = 0; i < size; ++i) values.push_back(random() % 40);
      std::sort(values.begin(), values.end());
      for (std::intptr_t v : values) list.PointerList::Add(Item(v));
      for (std::intptr_t probe = -1; probe <= 41; ++probe) {
        const auto expected = std::lower_bound(values.begin(), values.end(), probe) - values.begin();
        ASSERT_EQ(list.FindInsertPosition(Item(probe)), expected) << "size " << size << " value " << probe;
      }
    }
  }
}

TEST(PointerListTest, RandomInsertsKeepOrderWithoutDuplicates) {
  std::mt19937 random(99);
  SortedPointerList list;
  list.compare = CompareValues;
  std::vector<std::intptr_t> model;
  for (int i = 0; i < 3000; ++i) {
    const std::intptr_t v = random() % 2500;
    const bool present = std::binary_search(model.begin(), model.end(), v);
    const int index = list.Add(Item(v));
    if (present) {
      EXPECT_EQ(index, -1);
    } else {
      model.insert(std::lower_bound(model.begin(), model.end(), v), v);
      EXPECT_EQ(Value(list.GetAt(index)), v);
    }
  }
  EXPECT_EQ(Contents(list), model);
  EXPECT_EQ(list.capacity, 1024 * ((static_cast<int>(model.size()) + 1023) / 1024));
}

TEST(PointerListTest, ClearReleasesEveryElementInIndexOrder) {
  released.clear();
  {
    SortedPointerList list;
    list.releaseItem = Remember;
    list.Clear();
    EXPECT_TRUE(released.empty());
    EXPECT_EQ(list.capacity, 0);
    for (std::intptr_t v : {3, 1, 2}) list.Add(Item(v));
    list.Clear();
    EXPECT_EQ(released, (std::vector<void*>{Item(3), Item(1), Item(2)}));
    EXPECT_EQ(list.GetCount(), 0);
    list.Add(Item(9));
  }
  // Destruction releases what is left.
  EXPECT_EQ(released.back(), Item(9));
  EXPECT_EQ(released.size(), 4u);
}

TEST(PointerListTest, ListWithoutReleaseLeavesElementsToTheirOwner) {
  char* text = static_cast<char*>(std::malloc(4));
  std::strcpy(text, "abc");
  {
    SortedPointerList list;
    list.Add(text);
  }
  EXPECT_STREQ(text, "abc");  // still ours, still alive
  std::free(text);
}

TEST(CompareStringsTest, OrdersByUnsignedByteValue) {
  EXPECT_EQ(CompareStrings("a", "ab"), -1);
  EXPECT_EQ(CompareStrings("ab", "a"), 1);
  EXPECT_EQ(CompareStrings("B", "a"), -1);
  EXPECT_EQ(CompareStrings("abc", "abc"), 0);
  EXPECT_EQ(CompareStrings("", ""), 0);
  EXPECT_EQ(CompareStrings("\x80", "z"), 1);
  EXPECT_EQ(CompareStrings("~", "\xff"), -1);
}

}  // namespace
