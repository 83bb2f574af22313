// The benchmark's figures for one corpus, printed on the terminal and as
// Markdown, and the goals judged against them.
#ifndef TARNWICK_BENCH_RESULTS_TABLE_H
#define TARNWICK_BENCH_RESULTS_TABLE_H

#include <cstdint>
#include <string>
#include <vector>

#include "bench/search_timing.h"

struct CorpusFigures {
  std::string title;
  std::size_t files = 0;
  std::uint64_t bytes = 0;
  std::uint64_t largestFile = 0;
  SearchTimes search;
  SearchTimes reference;
  bool referenceMeasured = false;
  double floorSeconds = 0;
  double ripgrepSeconds = -1;  // negative: not measured
  double objdumpSeconds = -1;  // negative: not measured
};

struct Goal {
  std::string text;
  std::string measured;
  bool met;
  bool judged = true;  // false: could not be measured in this run
};

// The lines for the terminal.
std::string FormatFigures(const CorpusFigures& figures);

// The whole report: one table of figures, one of ratios, one of goals.
std::string MarkdownReport(const std::vector<CorpusFigures>& corpora, const std::vector<Goal>& goals,
                           const std::string& setting);

std::string FormatRatio(double ratio);
std::string FormatSeconds(double seconds);

#endif
