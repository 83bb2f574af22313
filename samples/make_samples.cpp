// Writes the sample files into the folder named on the command line.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "samples/sample_files.h"
#include "tests/builders/scratch_dir.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    for (const samples::SampleFile& file : samples::SampleFiles()) {
      testbuild::WriteFile(std::string(argv[1]) + "/" + file.name, file.bytes);
      std::printf("%-14s %s\n", file.name.c_str(), file.about.c_str());
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
    return 1;
  }
  return 0;
}
