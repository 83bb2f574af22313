// Runs AnalyzeFile on bytes written to a scratch file and records everything
// it reports: result, names handed to the sink, the content region and the
// trace lines. Each run also expects the file read as the search reads it
// (into a buffer, a head first) to report the same.
#ifndef TARNWICK_TESTS_ANALYSIS_ANALYSIS_HARNESS_H
#define TARNWICK_TESTS_ANALYSIS_ANALYSIS_HARNESS_H

#include <string>
#include <vector>

#include "analysis/analyze_file.h"
#include "tests/builders/exe_builders.h"
#include "tests/builders/scratch_dir.h"

namespace testbuild {

struct Analyzed {
  int result = 0;
  std::vector<std::string> names;  // in the order the sink received them
  int callbacks = 0;
  int callbackKind = -1;
  Bytes region;
  std::vector<std::string> trace;
};

struct AnalyzeOptions {
  bool callback = true;
  bool sink = true;
};

Analyzed AnalyzeBytes(const Bytes& bytes, AnalyzeOptions options = {});
Analyzed AnalyzePath(const std::string& path, AnalyzeOptions options = {});

// bytes[start, end), for comparing with a reported region.
Bytes Slice(const Bytes& bytes, std::size_t start, std::size_t end);

}  // namespace testbuild

#endif
