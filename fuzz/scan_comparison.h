// Runs the straightforward content scan and the one-pass scan over the same
// regions with the same candidates, each in a state of its own, and tells
// whether they marked alike: the same candidates found, by the same files,
// with the same kinds, and the same calls on the view in the same order
// (which fixes the order of the RecordReference calls). Shared by the
// differential test and the fuzz target.
#ifndef TARNWICK_FUZZ_SCAN_COMPARISON_H
#define TARNWICK_FUZZ_SCAN_COMPARISON_H

#include <cstdint>
#include <string>
#include <vector>

namespace scancompare {

// One file's content region, scanned as a file of the given path would be.
struct ScannedRegion {
  std::vector<std::uint8_t> bytes;
  int referenceKind;
  std::string path;
};

struct ScanInput {
  std::vector<std::string> candidates;
  std::vector<ScannedRegion> regions;
};

// Empty when both scans marked alike; else what differed, with the input.
std::string CompareScans(const ScanInput& input);

// A readable form of the input, for failure messages.
std::string Describe(const ScanInput& input);

}  // namespace scancompare

#endif
