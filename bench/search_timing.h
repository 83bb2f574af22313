// Timed runs of the search over one corpus, with the same code path as the
// program: candidates collected from the library folders, an import pass
// and a content pass over the tree (SearchDirectory). Also the
// straightforward content scan over the same files, and a memchr over
// every byte of them through the same read-only mapping, the floor that no
// search which reads every byte can go below.
#ifndef TARNWICK_BENCH_SEARCH_TIMING_H
#define TARNWICK_BENCH_SEARCH_TIMING_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ProcessState;

struct Corpus {
  std::string title;
  std::string root;
  // Library folders collected, with the library kind (32 or 16) of each.
  std::vector<std::pair<std::string, int>> libraryFolders;
  // Keep only the first this many libraries collected (0: all of them).
  std::size_t keepFirst = 0;
  // Add made-up names until there are this many candidates (0: none).
  std::size_t candidatesWanted = 0;
};

// Fills a fresh state's candidate list as the Search command would.
void LoadCandidates(const Corpus& corpus, ProcessState& state);

// The files a search of the corpus checks, in the order it checks them.
std::vector<std::string> ListSearchedFiles(const Corpus& corpus);
std::uint64_t TotalBytes(const std::vector<std::string>& files);

struct SearchTimes {
  double importSeconds = 0;
  double contentSeconds = 0;
  double evidenceSeconds = 0;  // the evidence pass, part of the whole search
  int evidenceMarks = 0;       // candidates the evidence pass marked
  double wholeSeconds = 0;
  // Per candidate, what the search marked it with.
  std::vector<std::string> marks;
  std::size_t candidates = 0;
  std::size_t madeUpFound = 0;  // made-up names marked (there should be none)
  std::size_t scannerTableBytes = 0;
  std::uint64_t peakMemoryGrowth = 0;  // resident bytes, 0 where not measurable
};

// Both passes and the evidence pass (which reads the registry of the prefix
// in WINEPREFIX) from fresh states, the best of repeats runs.
SearchTimes TimeSearch(const Corpus& corpus, int repeats);

// The import pass, then the straightforward content scan over the files.
SearchTimes TimeReferenceSearch(const Corpus& corpus, const std::vector<std::string>& files);

// A memchr over every byte of every file through MappedFile, best of repeats.
double TimeMemchrFloor(const std::vector<std::string>& files, int repeats);

#endif
