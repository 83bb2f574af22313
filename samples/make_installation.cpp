// Writes the sample Windows installation into a Wine-style prefix:
//   make_installation PREFIX [SUBFOLDER]
// With SUBFOLDER the installation lies in drive_c/SUBFOLDER, so that it can
// join a prefix that Wine made, whose own system folders stay out of it.
#include <cstdio>
#include <exception>

#include "samples/sample_installation.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s PREFIX [SUBFOLDER]\n", argv[0]);
    return 2;
  }
  try {
    samples::WriteSampleInstallation(argv[1], {argc == 3 ? argv[2] : ""});
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
    return 1;
  }
  std::printf("Sample installation written to %s\n", argv[1]);
  return 0;
}
