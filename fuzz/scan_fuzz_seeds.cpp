#include "fuzz/scan_fuzz_seeds.h"

#include <string>

#include "fuzz/scan_fuzz_input.h"

namespace scancompare {

std::vector<std::vector<std::uint8_t>> ScanFuzzSeeds() {
  const std::vector<std::vector<std::string>> candidateSets = {
      {"foo.dll", "foobar.dll", "bar.dll"},
      {"o.dll", "oo.dll", "f.b"},
      {"fo.b.dll", "fo.b", "3_-~!.dl"},
      {"\xC3\xA9t.dll", "\xE9.dll", ".dll", "fob"},
  };
  std::vector<std::vector<std::uint8_t>> seeds;
  for (const auto& candidates : candidateSets) {
    for (int form = 0; form < kScanFuzzForms; ++form) {
      for (int kind = 0; kind < 4; ++kind) {
        const auto name = static_cast<int>(form % candidates.size());
        // The name well inside the region, right at its end after near
        // misses, and as the whole region.
        seeds.push_back(ScanFuzzInputWriter(candidates, 3)
                            .Region(kind, form % 4)
                            .Bytes("xx")
                            .Name(name, static_cast<ScanFuzzForm>(form))
                            .Bytes(std::string(40, 'q'))
                            .Region((kind + 1) % 4, 0)
                            .Bytes(std::string(7, candidates[0][0]))
                            .Name(name, static_cast<ScanFuzzForm>(form))
                            .Region((kind + 2) % 4, 0)
                            .Name(name, static_cast<ScanFuzzForm>(form))
                            .Finish());
      }
    }
    // Every name at once, in two files of one pass.
    ScanFuzzInputWriter all(candidates, 2);
    all.Region(0, 1);
    for (int c = 0; c < static_cast<int>(candidates.size()); ++c) {
      all.Name(c, kWideNameTerminated).Bytes(std::string("\0q", 2)).Name(c, kBaseTerminated);
    }
    all.Bytes(std::string(32, '\0')).Region(3, 0).Name(0, kNameAlone).Name(1, kMixedCaseName);
    seeds.push_back(all.Finish());
  }
  return seeds;
}

}  // namespace scancompare
