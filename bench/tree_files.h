// The regular files and directories of a tree, for the benchmark's own
// tools: walked depth first in listing order, symbolic links never
// followed (a Wine prefix links its drive letters to / and to drive_c).
#ifndef TARNWICK_BENCH_TREE_FILES_H
#define TARNWICK_BENCH_TREE_FILES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TreeFile {
  std::string path;
  std::uint64_t size = 0;
};

struct Tree {
  std::vector<TreeFile> files;
  std::vector<std::string> directories;  // the root among them
  std::size_t unlistable = 0;            // directories that could not be opened
};

// Lists root (a directory, or one regular file). With skipHidden,
// directories whose names start with '.' are left out, as the memchr floor
// leaves them out. False, with the reason in error, when root is neither.
bool ListTree(const std::string& root, bool skipHidden, Tree* tree, std::string* error);

std::uint64_t TreeBytes(const Tree& tree);

#endif
