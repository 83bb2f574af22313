#include "bench/results_table.h"

#include <cstdio>

namespace {

constexpr double kMegabyte = 1e6;

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Rate(std::uint64_t bytes, double seconds) {
  return seconds > 0 ? Format("%.0f", static_cast<double>(bytes) / kMegabyte / seconds) : "-";
}

std::string Megabytes(std::uint64_t bytes) { return Format("%.1f", static_cast<double>(bytes) / kMegabyte); }

std::string Row(const std::vector<std::string>& cells) {
  std::string line = "|";
  for (const std::string& cell : cells) line += " " + cell + " |";
  return line + "\n";
}

std::string Line(const char* label, double seconds, std::uint64_t bytes) {
  char text[128];
  std::snprintf(text, sizeof text, "  %-34s %10s s %10s MB/s\n", label, FormatSeconds(seconds).c_str(),
                Rate(bytes, seconds).c_str());
  return text;
}

}  // namespace

std::string FormatSeconds(double seconds) {
  if (seconds < 0) return "-";
  return Format(seconds < 10 ? "%.3f" : "%.1f", seconds);
}

std::string FormatRatio(double ratio) { return ratio > 0 ? Format(ratio < 10 ? "%.2fx" : "%.0fx", ratio) : "-"; }

std::string FormatFigures(const CorpusFigures& f) {
  std::string text = f.title + "\n";
  text += "  files " + std::to_string(f.files) + ", " + Megabytes(f.bytes) + " MB (largest " +
          Megabytes(f.largestFile) + " MB), candidates " + std::to_string(f.search.candidates) + "\n";
  text += Line("import pass", f.search.importSeconds, f.bytes);
  text += Line("content pass", f.search.contentSeconds, f.bytes);
  const std::string evidence = "evidence pass (" + std::to_string(f.search.evidenceMarks) + " marked)";
  text += Line(evidence.c_str(), f.search.evidenceSeconds, f.bytes);
  text += Line("whole search", f.search.wholeSeconds, f.bytes);
  if (f.referenceMeasured) {
    text += Line("content pass, straightforward scan", f.reference.contentSeconds, f.bytes);
    text += Line("whole search, straightforward scan", f.reference.wholeSeconds, f.bytes);
  }
  text += Line("memchr over the mappings (floor)", f.floorSeconds, f.bytes);
  if (f.ripgrepSeconds >= 0) text += Line("rg -j1 with every name, both forms", f.ripgrepSeconds, f.bytes);
  if (f.objdumpSeconds >= 0) text += Line("objdump -p once per file", f.objdumpSeconds, f.bytes);
  text += "  whole search / floor " + FormatRatio(f.search.wholeSeconds / f.floorSeconds);
  if (f.ripgrepSeconds >= 0) {
    text += ", ripgrep / whole search " + FormatRatio(f.ripgrepSeconds / f.search.wholeSeconds);
  }
  if (f.objdumpSeconds >= 0) {
    text += ", objdump / import pass " + FormatRatio(f.objdumpSeconds / f.search.importSeconds);
  }
  if (f.referenceMeasured) {
    text += ", straightforward / one-pass content " +
            FormatRatio(f.reference.contentSeconds / f.search.contentSeconds);
    text += std::string("\n  same marks as the straightforward scan: ") +
            (f.reference.marks == f.search.marks ? "yes" : "NO");
  }
  text += "\n  search tables " + Format("%.0f", static_cast<double>(f.search.scannerTableBytes) / 1024) +
          " KiB, peak resident growth " + Megabytes(f.search.peakMemoryGrowth) + " MB, made-up names marked " +
          std::to_string(f.search.madeUpFound) + "\n";
  return text;
}

std::string MarkdownReport(const std::vector<CorpusFigures>& corpora, const std::vector<Goal>& goals,
                           const std::string& setting) {
  std::string text = "## Inside one process\n\n" + setting + "\n\n";
  text += "The passes timed one by one inside the benchmark's own process, on the same code path as the "
          "program, and compared with the straightforward content scan, ripgrep and objdump. Seconds (the best "
          "of the runs; the straightforward scan and objdump run once) and MB/s over all bytes of the files "
          "searched. The floor is a memchr over every byte of the same files through the same "
          "read-only mapping; ripgrep is `rg -j1 -uuu -a -i -F --count-matches` with every candidate's name in "
          "8 bits and in UTF-16LE; objdump is `x86_64-w64-mingw32-objdump -p` once per file, measured once per "
          "tree. Peak resident growth includes the pages of the file mapped at the time.\n\n";
  text += Row({"corpus", "files", "MB", "candidates", "import pass", "content pass", "whole search",
               "straightforward content pass", "memchr floor", "ripgrep", "objdump -p per file"});
  text += Row({"---", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:"});
  for (const CorpusFigures& f : corpora) {
    auto cell = [&](double seconds) {
      return seconds < 0 ? std::string("-") : FormatSeconds(seconds) + " s (" + Rate(f.bytes, seconds) + " MB/s)";
    };
    text += Row({f.title, std::to_string(f.files), Megabytes(f.bytes), std::to_string(f.search.candidates),
                 cell(f.search.importSeconds), cell(f.search.contentSeconds), cell(f.search.wholeSeconds),
                 f.referenceMeasured ? cell(f.reference.contentSeconds) : "-", cell(f.floorSeconds),
                 cell(f.ripgrepSeconds), cell(f.objdumpSeconds)});
  }
  text += "\n";
  text += Row({"corpus", "whole search / floor", "ripgrep / whole search", "objdump / import pass",
               "straightforward / one-pass content", "same marks", "search tables", "peak resident growth",
               "largest file"});
  text += Row({"---", "---:", "---:", "---:", "---:", "---", "---:", "---:", "---:"});
  for (const CorpusFigures& f : corpora) {
    text += Row({f.title, FormatRatio(f.search.wholeSeconds / f.floorSeconds),
                 f.ripgrepSeconds >= 0 ? FormatRatio(f.ripgrepSeconds / f.search.wholeSeconds) : "-",
                 f.objdumpSeconds >= 0 ? FormatRatio(f.objdumpSeconds / f.search.importSeconds) : "-",
                 f.referenceMeasured ? FormatRatio(f.reference.contentSeconds / f.search.contentSeconds) : "-",
                 f.referenceMeasured ? (f.reference.marks == f.search.marks ? "yes" : "NO") : "-",
                 Format("%.0f KiB", static_cast<double>(f.search.scannerTableBytes) / 1024),
                 Megabytes(f.search.peakMemoryGrowth) + " MB", Megabytes(f.largestFile) + " MB"});
  }
  text += "\n" + Row({"goal", "measured", "met"}) + Row({"---", "---", "---"});
  for (const Goal& goal : goals) text += Row({goal.text, goal.measured, goal.met ? "yes" : "no"});
  return text;
}
