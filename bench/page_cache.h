// Evicting a tree's pages from the page cache, without root: every regular
// file's dirty pages are written out, then all its pages are dropped with
// posix_fadvise(POSIX_FADV_DONTNEED); directories are advised the same way
// (what that drops depends on the file system; the kernel's directory
// entry and inode caches stay). Pages that a running program has mapped
// stay resident, so what is left is measured with mincore.
#ifndef TARNWICK_BENCH_PAGE_CACHE_H
#define TARNWICK_BENCH_PAGE_CACHE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/tree_files.h"

struct Eviction {
  std::size_t files = 0;              // regular files evicted
  std::size_t directories = 0;        // directories advised
  std::uint64_t bytes = 0;            // their size
  std::vector<std::string> failures;  // "path: reason", for files that could not be evicted
};

Eviction EvictTree(const Tree& tree);

// Bytes of the tree's regular files in the page cache now.
std::uint64_t ResidentBytes(const Tree& tree);

#endif
