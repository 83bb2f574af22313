// A made-up Windows installation of a chosen size for the benchmark: a
// system directory of libraries, 16-bit libraries, programs that use some
// of them by import table, by name in their data (8-bit and UTF-16, with
// and without extension) and in 16-bit code, registry files naming others,
// data files, and one program of a quarter of the whole size, so that the
// memory of a search can be seen not to grow with the largest file. The
// same size always gives the same files.
//
// Given a number of files, the installation is instead the size of a
// system in use today: mostly small programs and libraries spread over
// many folders, a medium-sized one in fifty, a big one in two thousand (the
// first an eighth of the whole), registry files and, for four files in
// ten, files that are not programs (settings, text, pictures, archives);
// written until both the size and the number of files are reached.
#ifndef TARNWICK_BENCH_GENERATED_INSTALLATION_H
#define TARNWICK_BENCH_GENERATED_INSTALLATION_H

#include <cstddef>
#include <string>

struct GeneratedInstallation {
  std::string root;            // the tree to search
  std::string systemDirectory;  // 32-bit libraries
  std::string system16Directory;  // 16-bit libraries
};

// Writes the installation under directory (made if missing, emptied
// first), unless a complete one of that size and number of files is there
// already. files 0: the few large programs described first.
GeneratedInstallation WriteGeneratedInstallation(const std::string& directory, std::size_t megabytes,
                                                 std::size_t files = 0);

#endif
