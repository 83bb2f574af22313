// Writes the content-scan fuzz target's seed corpus into a folder:
//   make_scan_seeds FOLDER
#include <cstdio>
#include <string>

#include "fuzz/scan_fuzz_seeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_scan_seeds FOLDER\n");
    return 2;
  }
  int written = 0;
  for (const auto& seed : scancompare::ScanFuzzSeeds()) {
    const std::string path = std::string(argv[1]) + "/scan-seed-" + std::to_string(written++);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    std::fwrite(seed.data(), 1, seed.size(), file);
    std::fclose(file);
  }
  std::printf("%d seeds\n", written);
  return 0;
}
