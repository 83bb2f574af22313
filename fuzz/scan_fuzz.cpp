// Fuzz target of the content scan: the input becomes candidates and content
// regions (fuzz/scan_fuzz_input.h); the straightforward and the one-pass
// scan must mark them alike, else the difference is printed and the run
// ends.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/scan_comparison.h"
#include "fuzz/scan_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string difference = scancompare::CompareScans(scancompare::DecodeScanFuzzInput(data, size));
  if (!difference.empty()) {
    std::fprintf(stderr, "the scans differ:\n%s", difference.c_str());
    std::abort();
  }
  return 0;
}
