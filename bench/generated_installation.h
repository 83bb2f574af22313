// A made-up Windows installation of a chosen size for the benchmark: a
// system directory of libraries, 16-bit libraries, programs that use some
// of them by import table, by name in their data (8-bit and UTF-16, with
// and without extension) and in 16-bit code, registry files naming others,
// data files, and one program of a quarter of the whole size, so that the
// memory of a search can be seen not to grow with the largest file. The
// same size always gives the same files.
#ifndef TARNWICK_BENCH_GENERATED_INSTALLATION_H
#define TARNWICK_BENCH_GENERATED_INSTALLATION_H

#include <cstddef>
#include <string>

struct GeneratedInstallation {
  std::string root;            // the tree to search
  std::string systemDirectory;  // 32-bit libraries
  std::string system16Directory;  // 16-bit libraries
};

// Writes the installation under directory (made if missing), unless a
// complete one of that size is there already.
GeneratedInstallation WriteGeneratedInstallation(const std::string& directory, std::size_t megabytes);

#endif
