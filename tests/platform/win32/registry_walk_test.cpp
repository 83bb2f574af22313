// The walk of the live registry (under Wine, the test prefix's): with any
// number of threads and any read-ahead budget the visitor gets the keys of
// the one-thread walk in its order, on the calling thread, and a walk the
// visitor ends stops at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/win32/registry_walk.h"

namespace {

class Recorder : public RegistryVisitor {
 public:
  explicit Recorder(std::size_t stopAfter = 0, bool throwInstead = false)
      : stopAfter_(stopAfter), throwInstead_(throwInstead) {}

  bool Visit(const RegistryKey& key) override {
    if (GetCurrentThreadId() != caller_) ++otherThreadVisits;
    keys.push_back(key);
    if (keys.size() != stopAfter_) return true;
    if (throwInstead_) throw std::runtime_error("visitor failed");
    return false;
  }

  std::vector<RegistryKey> keys;
  int otherThreadVisits = 0;

 private:
  const DWORD caller_ = GetCurrentThreadId();
  const std::size_t stopAfter_;
  const bool throwInstead_;
};

// The index of the first key the two walks differ in (the shorter one's
// length if one is the start of the other).
std::size_t FirstDifference(const std::vector<RegistryKey>& a, const std::vector<RegistryKey>& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i].path == b[i].path && a[i].texts == b[i].texts) ++i;
  return i;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::vector<RegistryKey> OneThreadWalk(double* seconds) {
  Recorder recorder;
  const auto start = std::chrono::steady_clock::now();
  VisitInstallationRegistry(recorder, 1);
  *seconds = Seconds(start);
  return recorder.keys;
}

TEST(RegistryWalkTest, EveryThreadCountAndBudgetGivesTheKeysOfOneThreadInItsOrder) {
  double seconds = 0;
  const std::vector<RegistryKey> expected = OneThreadWalk(&seconds);
  // A prefix holds thousands of keys under both roots.
  ASSERT_GT(expected.size(), 1000u);
  EXPECT_EQ(expected.front().path, "HKEY_LOCAL_MACHINE");
  EXPECT_EQ(expected.back().path.rfind("HKEY_USERS", 0), 0u);

  struct Case {
    int threads;
    std::size_t budget;
  };
  // A budget of one byte lets a reader hold one batch of a later subtree at a time.
  for (const Case& c : {Case{2, kRegistryReadAheadBytes}, Case{3, kRegistryReadAheadBytes},
                        Case{8, kRegistryReadAheadBytes}, Case{3, 1}, Case{8, 4096}}) {
    SCOPED_TRACE("threads " + std::to_string(c.threads) + ", budget " + std::to_string(c.budget));
    Recorder recorder;
    WalkLiveRegistry(recorder, c.threads, c.budget);
    EXPECT_EQ(recorder.keys.size(), expected.size());
    EXPECT_EQ(FirstDifference(recorder.keys, expected), expected.size());
    EXPECT_EQ(recorder.otherThreadVisits, 0);
  }
}

TEST(RegistryWalkTest, AWalkTheVisitorEndsOrThrowsInStopsThereWithEveryThreadCount) {
  double fullWalk = 0;
  const std::vector<RegistryKey> expected = OneThreadWalk(&fullWalk);
  ASSERT_GT(expected.size(), 1000u);
  for (int threads : {1, 2, 8}) {
    for (std::size_t stopAfter : {std::size_t{1}, expected.size() / 2, expected.size() - 1}) {
      SCOPED_TRACE("threads " + std::to_string(threads) + ", ended after key " + std::to_string(stopAfter));
      Recorder recorder(stopAfter);
      const auto start = std::chrono::steady_clock::now();
      VisitInstallationRegistry(recorder, threads);
      // Ended after the first key, the readers have nothing left to wait for.
      if (stopAfter == 1) EXPECT_LT(Seconds(start), fullWalk);
      EXPECT_EQ(recorder.keys.size(), stopAfter);
      EXPECT_EQ(FirstDifference(recorder.keys, expected), stopAfter);
    }
    SCOPED_TRACE("threads " + std::to_string(threads) + ", visitor throwing");
    Recorder throwing(expected.size() / 3, true);
    EXPECT_THROW(WalkLiveRegistry(throwing, threads, 4096), std::runtime_error);
    EXPECT_EQ(FirstDifference(throwing.keys, expected), expected.size() / 3);
  }
}

}  // namespace
