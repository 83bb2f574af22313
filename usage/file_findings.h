// What one reading of a file tells both passes of the search, made by any
// thread without touching the shared state; the pass that commits it
// applies it to the candidates in walk order (usage/reference_check.h).
#ifndef TARNWICK_USAGE_FILE_FINDINGS_H
#define TARNWICK_USAGE_FILE_FINDINGS_H

#include <cstdint>
#include <vector>

struct FileFindings {
  // AnalyzeFile's result as the import pass calls it (no content callback)
  // and as the content pass calls it.
  int importResult = 0;
  int contentResult = 0;
  // The reference kind of the region the analysis handed over for its
  // content, 0 when it handed none or the file kind is not searched.
  int contentKind = 0;
  bool settingsFile = false;
  // Candidate indices, whatever their found marks: those an imported module
  // name binds, in the order the import pass marks them (by name, then by
  // candidate; a candidate may recur); those a forwarder or delay-load
  // import binds; those the content names, ascending. A candidate of the
  // file's own name is never among the last two.
  std::vector<std::uint32_t> importMarks;
  std::vector<std::uint32_t> laterBound;
  std::vector<std::uint32_t> contentMarks;
};

#endif
