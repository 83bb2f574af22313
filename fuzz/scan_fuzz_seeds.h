// The content-scan fuzz target's seed corpus: one input for each form of a
// name, in each kind of file, near the start and the end of the region,
// with names that overlap or hold one another.
#ifndef TARNWICK_FUZZ_SCAN_FUZZ_SEEDS_H
#define TARNWICK_FUZZ_SCAN_FUZZ_SEEDS_H

#include <cstdint>
#include <vector>

namespace scancompare {

std::vector<std::vector<std::uint8_t>> ScanFuzzSeeds();

}  // namespace scancompare

#endif
