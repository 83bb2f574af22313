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

// What a round of walks found wrong, as texts; empty when nothing.
using Problems = std::vector<std::string>;

std::string Text(const std::string& text) { return text; }
template <class T>
std::string Text(const T& number) {
  return std::to_string(number);
}

template <class T>
void Expect(Problems& problems, const T& seen, const T& wanted, const std::string& what) {
  if (seen != wanted) problems.push_back(what + ": " + Text(seen) + ", not " + Text(wanted));
}

// The live registry may change while the test walks it (Wine's own programs
// write to it): a round of walks counts only when one-thread walks before
// and after it meet the same keys. Tries a few rounds, a second apart.
template <class Round>
void InASteadyRegistry(Round round) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    double seconds = 0;
    const std::vector<RegistryKey> before = OneThreadWalk(&seconds);
    ASSERT_GT(before.size(), 1000u) << "a prefix holds thousands of keys under both roots";
    const Problems problems = round(before, seconds);
    double again = 0;
    const std::vector<RegistryKey> after = OneThreadWalk(&again);
    if (after.size() == before.size() && FirstDifference(after, before) == before.size()) {
      for (const std::string& problem : problems) ADD_FAILURE() << problem;
      return;
    }
    Sleep(1000);
  }
  FAIL() << "the registry kept changing during every round";
}

TEST(RegistryWalkTest, EveryThreadCountAndBudgetGivesTheKeysOfOneThreadInItsOrder) {
  InASteadyRegistry([](const std::vector<RegistryKey>& expected, double) {
    Problems problems;
    Expect(problems, expected.front().path, std::string("HKEY_LOCAL_MACHINE"), "first key");
    Expect(problems, expected.back().path.rfind("HKEY_USERS", 0), std::size_t{0}, "last key under HKEY_USERS at");
    struct Case {
      int threads;
      std::size_t budget;
    };
    // A budget of one byte lets a reader hold one batch of a later subtree at a time.
    for (const Case& c : {Case{2, kRegistryReadAheadBytes}, Case{3, kRegistryReadAheadBytes},
                          Case{8, kRegistryReadAheadBytes}, Case{3, 1}, Case{8, 4096}}) {
      const std::string name = "threads " + std::to_string(c.threads) + ", budget " + std::to_string(c.budget);
      Recorder recorder;
      WalkLiveRegistry(recorder, c.threads, c.budget);
      Expect(problems, recorder.keys.size(), expected.size(), name + ", keys");
      Expect(problems, FirstDifference(recorder.keys, expected), expected.size(), name + ", first difference");
      Expect(problems, recorder.otherThreadVisits, 0, name + ", visits on other threads");
    }
    return problems;
  });
}

TEST(RegistryWalkTest, AWalkTheVisitorEndsOrThrowsInStopsThereWithEveryThreadCount) {
  InASteadyRegistry([](const std::vector<RegistryKey>& expected, double fullWalk) {
    Problems problems;
    for (int threads : {1, 2, 8}) {
      for (std::size_t stopAfter : {std::size_t{1}, expected.size() / 2, expected.size() - 1}) {
        const std::string name = "threads " + std::to_string(threads) + ", ended after key " + std::to_string(stopAfter);
        Recorder recorder(stopAfter);
        const auto start = std::chrono::steady_clock::now();
        VisitInstallationRegistry(recorder, threads);
        // Ended after the first key, the readers have nothing left to wait for.
        if (stopAfter == 1 && Seconds(start) >= fullWalk) problems.push_back(name + ": took a whole walk's time");
        Expect(problems, recorder.keys.size(), stopAfter, name + ", keys");
        Expect(problems, FirstDifference(recorder.keys, expected), stopAfter, name + ", first difference");
      }
      const std::string name = "threads " + std::to_string(threads) + ", visitor throwing";
      Recorder throwing(expected.size() / 3, true);
      try {
        WalkLiveRegistry(throwing, threads, 4096);
        problems.push_back(name + ": nothing thrown");
      } catch (const std::runtime_error&) {
      }
      Expect(problems, FirstDifference(throwing.keys, expected), expected.size() / 3, name + ", first difference");
    }
    return problems;
  });
}

}  // namespace
