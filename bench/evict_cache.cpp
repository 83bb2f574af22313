// evict_cache: drops every file of a tree from the page cache (no root
// needed), so that the next run over it reads from the disk.
//
//   evict_cache TREE...
//
// Prints what it evicted and how much of it is still resident. Exit status
// 0 when every file was evicted, 1 when some could not be (each named on
// standard error), 2 when a TREE is not there.
#include <cstdio>
#include <string>

#include "bench/page_cache.h"
#include "bench/tree_files.h"

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: evict_cache TREE...\n");
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    Tree tree;
    std::string error;
    if (!ListTree(argv[i], false, &tree, &error)) {
      std::fprintf(stderr, "evict_cache: %s\n", error.c_str());
      return 2;
    }
    const Eviction eviction = EvictTree(tree);
    for (const std::string& failure : eviction.failures) std::fprintf(stderr, "evict_cache: %s\n", failure.c_str());
    if (tree.unlistable > 0)
      std::fprintf(stderr, "evict_cache: %zu directories could not be listed\n", tree.unlistable);
    const std::uint64_t resident = ResidentBytes(tree);
    std::printf("%s: evicted %zu of %zu files (%.1f MB) and advised %zu directories; %.1f MB still resident\n", argv[i],
                eviction.files, tree.files.size(), static_cast<double>(eviction.bytes) / 1e6, eviction.directories,
                static_cast<double>(resident) / 1e6);
    if (!eviction.failures.empty() || tree.unlistable > 0) status = 1;
  }
  return status;
}
