// The in-process part of the search benchmark (process_bench times whole
// processes): times the import pass, the content pass and the
// whole search over a Wine prefix (with its system libraries, the first 100
// of them, and 3000 candidates) and over a generated installation, next to
// the straightforward content scan, a memchr floor, ripgrep and objdump;
// prints the figures and ratios and writes them as a Markdown table.
//
//   search_bench --prefix DIR --generated DIR --size MB --markdown FILE [--repeats N] [--quick yes]
//
// --quick leaves out the slow references (the straightforward scan and
// objdump), for a look at the search alone.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/external_tools.h"
#include "bench/generated_installation.h"
#include "bench/results_table.h"
#include "bench/search_timing.h"
#include "usage/candidates.h"
#include "usage/process_state.h"

namespace {

constexpr const char* kObjdump = "x86_64-w64-mingw32-objdump";

struct Options {
  std::string prefix;
  std::string generated;
  std::size_t megabytes = 256;
  std::string markdown;
  int repeats = 3;
  bool quick = false;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const std::string value = argv[i + 1];
    if (name == "--prefix") {
      options->prefix = value;
    } else if (name == "--generated") {
      options->generated = value;
    } else if (name == "--size") {
      options->megabytes = std::strtoul(value.c_str(), nullptr, 10);
    } else if (name == "--markdown") {
      options->markdown = value;
    } else if (name == "--quick") {
      options->quick = value == "yes";
    } else if (name == "--repeats") {
      options->repeats = std::max(1, std::atoi(value.c_str()));
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && !options->prefix.empty() && !options->generated.empty() && options->megabytes > 0;
}

std::uint64_t LargestFile(const std::vector<std::string>& files) {
  std::uint64_t largest = 0;
  for (const std::string& file : files) {
    struct stat st;
    if (stat(file.c_str(), &st) == 0) largest = std::max(largest, static_cast<std::uint64_t>(st.st_size));
  }
  return largest;
}

std::vector<std::string> CandidateNames(const Corpus& corpus) {
  ProcessState state;
  LoadCandidates(corpus, state);
  std::vector<std::string> names;
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    names.push_back(CandidateAt(state.CandidateList, i)->name);
  }
  return names;
}

CorpusFigures Measure(const Corpus& corpus, const Options& options, const std::string& workDirectory,
                      double* objdumpForRoot) {
  std::fprintf(stderr, "== %s\n", corpus.title.c_str());
  CorpusFigures figures;
  figures.title = corpus.title;
  const std::vector<std::string> files = ListSearchedFiles(corpus);
  figures.files = files.size();
  figures.bytes = TotalBytes(files);
  figures.largestFile = LargestFile(files);

  std::fprintf(stderr, "   search (best of %d)\n", options.repeats);
  figures.search = TimeSearch(corpus, options.repeats);
  std::fprintf(stderr, "   memchr floor\n");
  figures.floorSeconds = TimeMemchrFloor(files, options.repeats);
  if (!options.quick) {
    std::fprintf(stderr, "   straightforward content scan (once; slow)\n");
    figures.reference = TimeReferenceSearch(corpus, files);
    figures.referenceMeasured = true;
  }
  if (ProgramAvailable("rg")) {
    std::fprintf(stderr, "   ripgrep (best of 2)\n");
    const std::vector<std::string> names = CandidateNames(corpus);
    const std::string patterns = workDirectory + "/rg-patterns.txt";
    for (int run = 0; run < 2; ++run) {
      const double seconds = TimeRipgrep(corpus.root, names, patterns);
      if (seconds >= 0 && (figures.ripgrepSeconds < 0 || seconds < figures.ripgrepSeconds)) {
        figures.ripgrepSeconds = seconds;
      }
    }
  }
  if (!options.quick && ProgramAvailable(kObjdump)) {
    // The files are the same for every candidate list of one tree.
    if (*objdumpForRoot < 0) {
      std::fprintf(stderr, "   objdump -p per file (once)\n");
      *objdumpForRoot = TimeObjdumpPerFile(kObjdump, files);
    }
    figures.objdumpSeconds = *objdumpForRoot;
  }
  std::printf("%s\n", FormatFigures(figures).c_str());
  std::fflush(stdout);
  return figures;
}

std::string Setting() {
  std::string cpu = "unknown processor";
  std::ifstream info("/proc/cpuinfo");
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("model name", 0) == 0) {
      cpu = line.substr(line.find(':') + 2);
      break;
    }
  }
  return "Measured by `bash bench/run.sh` on " + cpu + ", " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) +
         " cores, the files in the page cache.";
}

Goal Ratio(const std::string& text, double ratio, bool met) { return Goal{text, FormatRatio(ratio), met}; }

std::vector<Goal> Goals(const CorpusFigures& prefix, const CorpusFigures& hundred, const CorpusFigures& many,
                        const std::vector<CorpusFigures>& all) {
  std::vector<Goal> goals;
  // How the whole search compares with the memchr floor is judged on whole
  // processes (process_bench); here the ratio is shown per corpus only.
  if (prefix.ripgrepSeconds >= 0) {
    const double ratio = prefix.ripgrepSeconds / prefix.search.wholeSeconds;
    goals.push_back(Ratio("Wine prefix: whole search at least 3x faster than ripgrep", ratio, ratio >= 3));
  }
  const double growth = many.search.wholeSeconds / hundred.search.wholeSeconds;
  goals.push_back(Ratio("3000 candidates: whole search at most 2x the time with 100", growth, growth <= 2));
  if (many.ripgrepSeconds >= 0) {
    const double ratio = many.ripgrepSeconds / many.search.wholeSeconds;
    goals.push_back(Ratio("3000 candidates: whole search at least 10x faster than ripgrep", ratio, ratio >= 10));
  }
  if (prefix.objdumpSeconds >= 0) {
    const double ratio = prefix.objdumpSeconds / prefix.search.importSeconds;
    goals.push_back(Ratio("Import pass at least 100x faster than objdump -p per file", ratio, ratio >= 100));
  }
  // The search maps one file at a time; beyond the pages of that mapping
  // it holds the tables, which depend on the candidates alone, and closed
  // views of small files not unmapped yet, at most 32 MB of them.
  bool bounded = true;
  std::string measured;
  for (const CorpusFigures& f : all) {
    const double beyond = static_cast<double>(f.search.peakMemoryGrowth) - static_cast<double>(f.largestFile);
    bounded = bounded && f.search.peakMemoryGrowth > 0 && beyond < 48e6;
    char text[96];
    std::snprintf(text, sizeof text, "%s%.1f MB", measured.empty() ? "" : ", ", beyond / 1e6);
    measured += text;
  }
  goals.push_back(Goal{"Peak memory beyond the largest file's mapping under 48 MB in every corpus",
                       measured, bounded});
  bool same = true;
  for (const CorpusFigures& f : all) same = same && f.referenceMeasured && f.reference.marks == f.search.marks;
  goals.push_back(Goal{"Same marks as the straightforward scan in every corpus", same ? "yes" : "no", same});
  return goals;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: search_bench --prefix DIR --generated DIR --size MB --markdown FILE [--repeats N] "
                 "[--quick yes]\n");
    return 2;
  }
  // The evidence pass reads the registry and Windows folder of this prefix.
  setenv("WINEPREFIX", options.prefix.c_str(), 1);
  const std::string system32 = options.prefix + "/drive_c/windows/system32";
  Corpus prefix{"Wine prefix", options.prefix + "/drive_c", {{system32, 32}}, 0, 0};
  Corpus hundred = prefix;
  hundred.title = "Wine prefix, first 100 candidates";
  hundred.keepFirst = 100;
  Corpus many = prefix;
  many.title = "Wine prefix, 3000 candidates";
  many.candidatesWanted = 3000;
  std::fprintf(stderr, "== writing the generated installation (%zu MB) if needed\n", options.megabytes);
  const GeneratedInstallation generated = WriteGeneratedInstallation(options.generated, options.megabytes);
  Corpus made{"Generated installation, " + std::to_string(options.megabytes) + " MB", generated.root,
                  {{generated.systemDirectory, 32}, {generated.system16Directory, 16}}, 0, 0};

  double prefixObjdump = -1, generatedObjdump = -1;
  std::vector<CorpusFigures> all;
  all.push_back(Measure(prefix, options, options.generated, &prefixObjdump));
  all.push_back(Measure(hundred, options, options.generated, &prefixObjdump));
  all.push_back(Measure(many, options, options.generated, &prefixObjdump));
  all.push_back(Measure(made, options, options.generated, &generatedObjdump));

  const std::vector<Goal> goals = Goals(all[0], all[1], all[2], all);
  std::printf("Goals\n");
  for (const Goal& goal : goals) {
    std::printf("  %-72s %12s  %s\n", goal.text.c_str(), goal.measured.c_str(), goal.met ? "met" : "NOT MET");
  }
  if (!options.markdown.empty()) {
    std::ofstream out(options.markdown, std::ios::trunc);
    out << MarkdownReport(all, goals, Setting());
    std::printf("\nwritten to %s\n", options.markdown.c_str());
  }
  return 0;
}
