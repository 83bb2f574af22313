// The whole-process search benchmark: the console edition run as a user
// runs it (`tarnwick --prefix P --search-dir P/drive_c --yes`, `tarnwick
// --root C --search-dir C --yes`, the list thrown away; by default it would
// search every drive, the root of the file system among them) over each
// corpus, timed from the outside next to floors that are whole processes
// too:
//
//   warm (page cache filled by a run before): the one-thread memchr floor,
//   memscan (every regular file mapped, one rare byte counted with memchr);
//   cold (every file's pages evicted before each run): the same, and the
//   parallel-read floor, parallel_read with one reader per core, mapped and
//   with pread, the faster of the two being the fair floor.
//
// Medians of several runs, interleaved so that drift meets every program
// alike; peak memory from the child's resource usage, with the number of
// search threads passed through once the console edition offers an option
// for it. Prints the figures and goals, writes them as Markdown, and a
// short table for the README.
//
//   process_bench --tarnwick PATH --parallel-read PATH [--memscan PATH] --work DIR
//                 --prefix DIR --generated DIR --size MB --large DIR --large-size MB --large-files N
//                 [--markdown FILE] [--summary FILE] [--corpora prefix,generated,large]
//                 [--warm-runs N] [--cold-runs N] [--large-warm-runs N] [--large-cold-runs N]
//                 [--threads-option NAME]
//
// TARNWICK_BENCH_THREADS=N in the environment passes `--threads N` (or the
// option named) to every timed search; without it the edition's default.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/generated_installation.h"
#include "bench/page_cache.h"
#include "bench/process_run.h"
#include "bench/results_table.h"
#include "bench/tree_files.h"

namespace {

constexpr double kWarmGoal = 1.5;
constexpr double kColdGoal = 1.3;
constexpr double kMemoryBeyondFiles = 48e6;
constexpr double kMemoryPerThread = 16e6;
// Share of the evicted bytes that may stay cached before a cold figure is
// called into question.
constexpr double kResidentWarning = 0.02;

// The benchmark's largest resident size when it started a program, the
// least peak the kernel can report for one (see RunProcess).
std::uint64_t gLauncherResident = 0;

struct Options {
  std::string tarnwick, parallelRead, memscan, work, markdown, summary;
  std::string prefix, generated, large;
  std::size_t size = 512, largeSize = 4096, largeFiles = 50000;
  std::string corpora = "prefix,generated,large";
  int warmRuns = 5, coldRuns = 7, largeWarmRuns = 3, largeColdRuns = 3;
  std::string threadsOption = "--threads";
};

struct SearchedTree {
  std::string key;
  std::string title;
  std::string floorTree;                   // drive C:, what the floors read
  std::string evictedTree;                 // evicted before every cold run
  std::vector<std::string> searchOptions;  // after the program's path
  int warmRuns = 0, coldRuns = 0;
};

struct Series {
  std::vector<double> seconds;
  std::uint64_t peakResident = 0;
  bool failed = false;
  bool measured() const { return !failed && !seconds.empty(); }
  double median() const { return measured() ? Median(seconds) : -1; }
};

struct MemoryRun {
  int threads = 0;  // 0: the edition's default
  std::uint64_t peakResident = 0;
  std::uint64_t largestFiles = 0;  // the largest `threads` files together
  double beyond() const { return static_cast<double>(peakResident) - static_cast<double>(largestFiles); }
};

struct Figures {
  std::string title;
  std::size_t files = 0;
  std::uint64_t bytes = 0;
  std::vector<std::uint64_t> largest;  // file sizes, largest first
  std::size_t candidates = 0, used = 0;
  Series searchWarm, memscanWarm, parallelWarm;
  Series searchCold, memscanCold, mmapCold, preadCold;
  double residentAfterEviction = 0;  // the largest share seen
  std::vector<MemoryRun> memory;
  std::vector<std::string> failures;

  double fairColdFloor() const {
    const double mapped = mmapCold.median(), read = preadCold.median();
    if (mapped < 0) return read;
    if (read < 0) return mapped;
    return std::min(mapped, read);
  }
};

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string Megabytes(double bytes) { return Format("%.1f MB", bytes / 1e6); }

bool ParseCount(const std::string& text, std::size_t* value) {
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed == 0) return false;
  *value = static_cast<std::size_t>(parsed);
  return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  std::map<std::string, std::string*> texts = {
      {"--tarnwick", &o->tarnwick}, {"--parallel-read", &o->parallelRead},  {"--memscan", &o->memscan},
      {"--work", &o->work},         {"--markdown", &o->markdown},           {"--summary", &o->summary},
      {"--prefix", &o->prefix},     {"--generated", &o->generated},         {"--large", &o->large},
      {"--corpora", &o->corpora},   {"--threads-option", &o->threadsOption}};
  std::map<std::string, std::size_t*> counts = {
      {"--size", &o->size}, {"--large-size", &o->largeSize}, {"--large-files", &o->largeFiles}};
  std::map<std::string, int*> runs = {{"--warm-runs", &o->warmRuns},
                                      {"--cold-runs", &o->coldRuns},
                                      {"--large-warm-runs", &o->largeWarmRuns},
                                      {"--large-cold-runs", &o->largeColdRuns}};
  if (argc % 2 != 1) return false;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i], value = argv[i + 1];
    if (texts.count(name)) {
      *texts[name] = value;
    } else if (counts.count(name)) {
      if (!ParseCount(value, counts[name])) return false;
    } else if (runs.count(name)) {
      std::size_t n = 0;
      if (!ParseCount(value, &n) || n > 100) return false;
      *runs[name] = static_cast<int>(n);
    } else {
      return false;
    }
  }
  return !o->tarnwick.empty() && !o->parallelRead.empty() && !o->work.empty() && !o->prefix.empty() &&
         !o->generated.empty() && !o->large.empty();
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The last lines of a program's error output, to show why it failed.
std::string Tail(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream text(ReadText(path));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  std::string tail;
  for (std::size_t i = lines.size() > 6 ? lines.size() - 6 : 0; i < lines.size(); ++i) tail += lines[i] + "\n";
  return tail;
}

class Bench {
 public:
  explicit Bench(const Options& options) : o_(options) {}

  // Whether the console edition lists the option for the number of threads.
  void DetectThreadsOption() {
    const std::string help = o_.work + "/tarnwick-help.txt";
    RunProcess({o_.tarnwick, "--help"}, o_.work, help, "/dev/null");
    const std::string text = ReadText(help);
    for (std::size_t at = text.find(o_.threadsOption); at != std::string::npos;
         at = text.find(o_.threadsOption, at + 1)) {
      const std::size_t after = at + o_.threadsOption.size();
      if (after >= text.size() || text[after] == ' ' || text[after] == '=' || text[after] == '\n') {
        threadsOption_ = true;
        break;
      }
    }
    const char* wanted = std::getenv("TARNWICK_BENCH_THREADS");
    if (wanted != nullptr && *wanted != '\0') {
      if (threadsOption_) {
        threadsArguments_ = {o_.threadsOption, wanted};
      } else {
        std::fprintf(stderr, "TARNWICK_BENCH_THREADS ignored: tarnwick --help lists no %s\n", o_.threadsOption.c_str());
      }
    }
  }

  bool threadsOption() const { return threadsOption_; }

  Figures Measure(const SearchedTree& corpus) {
    std::fprintf(stderr, "== %s\n", corpus.title.c_str());
    Figures f;
    f.title = corpus.title;
    Tree floorTree, evicted;
    std::string error;
    if (!ListTree(corpus.floorTree, true, &floorTree, &error) ||
        !ListTree(corpus.evictedTree, false, &evicted, &error)) {
      f.failures.push_back(error);
      return f;
    }
    f.files = floorTree.files.size();
    f.bytes = TreeBytes(floorTree);
    for (const TreeFile& file : floorTree.files) f.largest.push_back(file.size);
    std::sort(f.largest.rbegin(), f.largest.rend());

    std::vector<std::string> search = {o_.tarnwick};
    search.insert(search.end(), corpus.searchOptions.begin(), corpus.searchOptions.end());
    std::vector<std::string> timedSearch = search;
    timedSearch.insert(timedSearch.end(), threadsArguments_.begin(), threadsArguments_.end());
    const std::vector<std::string> memscan = {o_.memscan, "-m", "mmap", corpus.floorTree};
    const std::vector<std::string> mapped = {o_.parallelRead, "-m", "mmap", corpus.floorTree};
    const std::vector<std::string> read = {o_.parallelRead, "-m", "pread", corpus.floorTree};
    const bool floor = !o_.memscan.empty();

    // A run whose list is kept and checked fills the cache for the warm runs.
    std::fprintf(stderr, "   checked run of the search\n");
    CheckSearch(corpus.key, timedSearch, &f);
    if (floor) Time(corpus.key + "-memscan", memscan, nullptr, &f);
    if (!f.failures.empty()) return f;

    std::fprintf(stderr, "   warm, %d runs each\n", corpus.warmRuns);
    for (int run = 0; run < corpus.warmRuns; ++run) {
      Time(corpus.key + "-search", timedSearch, &f.searchWarm, &f);
      if (floor) Time(corpus.key + "-memscan", memscan, &f.memscanWarm, &f);
      Time(corpus.key + "-parallel", mapped, &f.parallelWarm, &f);
    }
    MeasureMemory(corpus.key, search, &f);

    std::fprintf(stderr, "   cold, %d runs each\n", corpus.coldRuns);
    for (int run = 0; run < corpus.coldRuns; ++run) {
      // Only the first round's evictions are checked: mincore over every
      // file is cheap but not free.
      const bool check = run == 0;
      Cold(evicted, check, &f, [&] { Time(corpus.key + "-search", timedSearch, &f.searchCold, &f); });
      if (floor) Cold(evicted, check, &f, [&] { Time(corpus.key + "-memscan", memscan, &f.memscanCold, &f); });
      Cold(evicted, check, &f, [&] { Time(corpus.key + "-parallel-mmap", mapped, &f.mmapCold, &f); });
      Cold(evicted, check, &f, [&] { Time(corpus.key + "-parallel-pread", read, &f.preadCold, &f); });
    }
    return f;
  }

 private:
  void Time(const std::string& name, const std::vector<std::string>& arguments, Series* series, Figures* f) {
    const std::string errors = o_.work + "/" + name + ".err";
    const ProcessRun run = RunProcess(arguments, o_.work, "/dev/null", errors);
    if (!run.Succeeded()) {
      if (series != nullptr) series->failed = true;
      Fail(f, name + ": " + run.Describe() + "; its last words (" + errors + "):\n" + Tail(errors));
      return;
    }
    if (series == nullptr) return;
    series->seconds.push_back(run.seconds);
    series->peakResident = std::max(series->peakResident, run.peakResidentBytes);
    gLauncherResident = std::max(gLauncherResident, run.launcherResidentBytes);
  }

  void Fail(Figures* f, const std::string& failure) {
    std::fprintf(stderr, "   FAILED %s\n", failure.c_str());
    f->failures.push_back(failure);
  }

  // Runs the search once with its list kept, and checks that it searched:
  // exit status 0, at least one candidate listed, no cancelled search.
  void CheckSearch(const std::string& key, const std::vector<std::string>& search, Figures* f) {
    const std::string list = o_.work + "/" + key + "-list.tsv", errors = o_.work + "/" + key + "-search.err";
    const ProcessRun run = RunProcess(search, o_.work, list, errors);
    if (!run.Succeeded()) {
      Fail(f, key + " search: " + run.Describe() + "; its last words (" + errors + "):\n" + Tail(errors));
      return;
    }
    std::ifstream in(list);
    for (std::string line; std::getline(in, line);) {
      ++f->candidates;
      const std::size_t second = line.find('\t', line.find('\t') + 1);
      if (second != std::string::npos && line.compare(second + 1, std::string::npos, "?") != 0) ++f->used;
    }
    if (f->candidates == 0) Fail(f, key + " search listed no candidates (" + list + ")");
    if (ReadText(errors).find("Process was cancelled") != std::string::npos) {
      Fail(f, key + " search says it was cancelled");
    }
  }

  // Peak memory with one search thread and with one per core, when the
  // edition has the option; else what the default runs showed.
  void MeasureMemory(const std::string& key, const std::vector<std::string>& search, Figures* f) {
    auto largest = [&](int count) {
      std::uint64_t sum = 0;
      for (int i = 0; i < count && i < static_cast<int>(f->largest.size()); ++i) sum += f->largest[i];
      return sum;
    };
    if (!threadsOption_) {
      if (f->searchWarm.measured()) f->memory.push_back(MemoryRun{0, f->searchWarm.peakResident, largest(1)});
      return;
    }
    const int cores = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    for (int threads : {1, cores}) {
      if (threads == cores && cores == 1) break;
      std::vector<std::string> arguments = search;
      arguments.push_back(o_.threadsOption);
      arguments.push_back(std::to_string(threads));
      Series series;
      Time(key + "-search-threads" + std::to_string(threads), arguments, &series, f);
      if (series.measured()) f->memory.push_back(MemoryRun{threads, series.peakResident, largest(threads)});
    }
  }

  // Evicts the tree, then runs the program.
  void Cold(const Tree& tree, bool check, Figures* f, const std::function<void()>& run) {
    const Eviction eviction = EvictTree(tree);
    if (!eviction.failures.empty()) {
      Fail(f, "eviction: " + eviction.failures.front() + " (and " + std::to_string(eviction.failures.size() - 1) +
                  " more)");
    }
    if (check && eviction.bytes > 0) {
      const double share = static_cast<double>(ResidentBytes(tree)) / static_cast<double>(eviction.bytes);
      f->residentAfterEviction = std::max(f->residentAfterEviction, share);
      if (share > kResidentWarning) {
        std::fprintf(stderr, "   warning: %.0f%% of the tree still cached after the eviction\n", share * 100);
      }
    }
    run();
  }

  const Options& o_;
  bool threadsOption_ = false;
  std::vector<std::string> threadsArguments_;
};

std::string Seconds(const Series& s, std::uint64_t bytes) {
  if (s.failed) return "failed";
  if (!s.measured()) return "-";
  const double seconds = s.median();
  return FormatSeconds(seconds) + " s (" + Format("%.0f", static_cast<double>(bytes) / 1e6 / seconds) + " MB/s)";
}

double Ratio(double numerator, double denominator) {
  return numerator > 0 && denominator > 0 ? numerator / denominator : -1;
}

std::string Row(const std::vector<std::string>& cells) {
  std::string line = "|";
  for (const std::string& cell : cells) line += " " + cell + " |";
  return line + "\n";
}

std::string ThreadsLabel(int threads) { return threads == 0 ? "default" : std::to_string(threads); }

std::vector<Goal> Goals(const std::vector<Figures>& all, bool memscan, bool threadsOption) {
  std::vector<Goal> goals;
  for (const Figures& f : all) {
    const double warm = Ratio(f.searchWarm.median(), f.memscanWarm.median());
    if (memscan) {
      goals.push_back(Goal{f.title + ": warm, whole search at most 1.5x the one-thread memchr floor", FormatRatio(warm),
                           warm > 0 && warm <= kWarmGoal});
    } else {
      goals.push_back(Goal{f.title + ": warm, whole search at most 1.5x the one-thread memchr floor", "no memscan.c",
                           false, false});
    }
    const double cold = Ratio(f.searchCold.median(), f.fairColdFloor());
    goals.push_back(Goal{f.title + ": cold, whole search at most 1.3x the parallel-read floor", FormatRatio(cold),
                         cold > 0 && cold <= kColdGoal});
  }
  bool bounded = true;
  std::string measured;
  for (const Figures& f : all) {
    for (const MemoryRun& m : f.memory) {
      bounded = bounded && m.beyond() < kMemoryBeyondFiles;
      measured += (measured.empty() ? "" : ", ") + Megabytes(m.beyond());
    }
    bounded = bounded && !f.memory.empty();
  }
  goals.push_back(Goal{"Peak memory beyond the largest files' mappings (one per thread) under 48 MB in every corpus",
                       measured.empty() ? "-" : measured, bounded && !measured.empty()});
  if (!threadsOption) {
    goals.push_back(Goal{"Peak memory grows by at most 16 MB per search thread beyond the first",
                         "no thread option yet", false, false});
  } else {
    bool small = true;
    std::string growth;
    for (const Figures& f : all) {
      if (f.memory.size() < 2) {
        small = false;
        continue;
      }
      const MemoryRun& one = f.memory.front();
      const MemoryRun& most = f.memory.back();
      const double each = (most.beyond() - one.beyond()) / std::max(1, most.threads - one.threads);
      small = small && each <= kMemoryPerThread;
      growth += (growth.empty() ? "" : ", ") + Megabytes(each);
    }
    goals.push_back(Goal{"Peak memory grows by at most 16 MB per search thread beyond the first",
                         growth.empty() ? "-" : growth, small && !growth.empty()});
  }
  return goals;
}

std::string MetText(const Goal& goal) { return !goal.judged ? "not measured" : goal.met ? "yes" : "no"; }

std::string Markdown(const std::vector<Figures>& all, const std::vector<Goal>& goals, const std::string& setting) {
  std::string text = "## Whole processes\n\n" + setting + "\n\n";
  text +=
      "Each figure is the median of the runs, wall-clock seconds of a whole process (and MB/s over all bytes of "
      "the corpus's drive C:). The search is the console edition as a user runs it, `tarnwick --prefix P "
      "--search-dir P/drive_c --yes` or `tarnwick --root C --search-dir C --yes`, its list going to /dev/null. The "
      "one-thread memchr floor is `memscan -m mmap` "
      "(built from /work/shared/bench/memscan.c): every regular file mapped read-only and one rare byte counted "
      "with memchr. The parallel-read floor is `bench/parallel_read` with one reader per core taking files from "
      "one list, mapped (`-m mmap`) or read with pread in 1 MiB chunks (`-m pread`); the faster is the fair "
      "floor. Warm: the page cache filled by a run before. Cold: every file's pages (the whole prefix's for "
      "the Wine prefix) evicted with posix_fadvise(POSIX_FADV_DONTNEED) before each run; the kernel's "
      "directory entry and inode caches stay, as they cannot be dropped without root.\n\n";
  text += "Warm page cache:\n\n";
  text += Row({"corpus", "files", "MB", "largest file", "candidates (used)", "whole search", "memchr floor, 1 thread",
               "parallel read, mapped", "search / memchr floor"});
  text += Row({"---", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:"});
  for (const Figures& f : all) {
    text += Row({f.title, std::to_string(f.files), Format("%.1f", static_cast<double>(f.bytes) / 1e6),
                 f.largest.empty() ? "-" : Megabytes(static_cast<double>(f.largest.front())),
                 std::to_string(f.candidates) + " (" + std::to_string(f.used) + ")", Seconds(f.searchWarm, f.bytes),
                 Seconds(f.memscanWarm, f.bytes), Seconds(f.parallelWarm, f.bytes),
                 FormatRatio(Ratio(f.searchWarm.median(), f.memscanWarm.median()))});
  }
  text += "\nCold page cache:\n\n";
  text += Row({"corpus", "whole search", "memchr floor, 1 thread", "parallel read, mapped", "parallel read, pread",
               "search / parallel-read floor", "search / memchr floor", "left cached by the eviction"});
  text += Row({"---", "---:", "---:", "---:", "---:", "---:", "---:", "---:"});
  for (const Figures& f : all) {
    text += Row({f.title, Seconds(f.searchCold, f.bytes), Seconds(f.memscanCold, f.bytes), Seconds(f.mmapCold, f.bytes),
                 Seconds(f.preadCold, f.bytes), FormatRatio(Ratio(f.searchCold.median(), f.fairColdFloor())),
                 FormatRatio(Ratio(f.searchCold.median(), f.memscanCold.median())),
                 Format("%.1f%%", f.residentAfterEviction * 100)});
  }
  text +=
      "\nPeak memory of the search (the process's maximum resident set, file pages mapped included), by "
      "search threads; beyond the largest files = peak less the largest files' sizes, one file per thread. "
      "The kernel reports no peak below the benchmark's own resident size when it starts the program, " +
      Megabytes(static_cast<double>(gLauncherResident)) + " at most in this run:\n\n";
  text += Row({"corpus", "threads", "peak resident", "beyond the largest files"});
  text += Row({"---", "---:", "---:", "---:"});
  for (const Figures& f : all) {
    for (const MemoryRun& m : f.memory) {
      text += Row(
          {f.title, ThreadsLabel(m.threads), Megabytes(static_cast<double>(m.peakResident)), Megabytes(m.beyond())});
    }
  }
  text += "\n" + Row({"goal", "measured", "met"}) + Row({"---", "---", "---"});
  for (const Goal& goal : goals) text += Row({goal.text, goal.measured, MetText(goal)});
  bool failed = false;
  for (const Figures& f : all) failed = failed || !f.failures.empty();
  if (failed) {
    text += "\nFailures:\n\n";
    for (const Figures& f : all) {
      for (const std::string& failure : f.failures) text += "- " + failure.substr(0, failure.find('\n')) + "\n";
    }
  }
  return text;
}

// The table for the README: the goals' figures per corpus.
std::string Summary(const std::vector<Figures>& all) {
  std::string text =
      Row({"corpus", "files", "MB", "warm: whole search", "warm: memchr floor", "warm: ratio (goal 1.5x at most)",
           "cold: whole search", "cold: parallel-read floor", "cold: ratio (goal 1.3x at most)",
           "peak memory (beyond the largest files; goal under 48 MB)"});
  text += Row({"---", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:", "---:"});
  auto seconds = [](double value) { return value < 0 ? std::string("-") : FormatSeconds(value) + " s"; };
  auto judged = [](double ratio, double goal) {
    return ratio < 0 ? std::string("-") : FormatRatio(ratio) + (ratio <= goal ? ", met" : ", not met");
  };
  for (const Figures& f : all) {
    std::string memory = "-";
    if (!f.memory.empty()) {
      const auto most = std::max_element(f.memory.begin(), f.memory.end(), [](const MemoryRun& a, const MemoryRun& b) {
        return a.beyond() < b.beyond();
      });
      memory = Megabytes(static_cast<double>(most->peakResident)) + " (" + Megabytes(most->beyond()) + "), " +
               (most->beyond() < kMemoryBeyondFiles ? "met" : "not met");
    }
    text +=
        Row({f.title, std::to_string(f.files), Format("%.1f", static_cast<double>(f.bytes) / 1e6),
             seconds(f.searchWarm.median()), seconds(f.memscanWarm.median()),
             judged(Ratio(f.searchWarm.median(), f.memscanWarm.median()), kWarmGoal), seconds(f.searchCold.median()),
             seconds(f.fairColdFloor()), judged(Ratio(f.searchCold.median(), f.fairColdFloor()), kColdGoal), memory});
  }
  return text;
}

std::string Setting(const Options& o, bool threadsOption) {
  std::string cpu = "unknown processor";
  std::ifstream info("/proc/cpuinfo");
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("model name", 0) == 0) {
      cpu = line.substr(line.find(':') + 2);
      break;
    }
  }
  const char* threads = std::getenv("TARNWICK_BENCH_THREADS");
  return "Measured by `bash bench/run.sh` on " + cpu + ", " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) +
         " cores; " + std::to_string(o.warmRuns) + " warm and " + std::to_string(o.coldRuns) +
         " cold runs of each program (" + std::to_string(o.largeWarmRuns) + " and " + std::to_string(o.largeColdRuns) +
         " over the largest corpus); " +
         (threadsOption ? "search threads: " + std::string(threads != nullptr && *threads ? threads : "the default")
                        : "the console edition has no option for its number of threads") +
         ".";
}

void WriteFile(const std::string& path, const std::string& text) {
  if (path.empty()) return;
  std::ofstream out(path, std::ios::trunc);
  out << text;
  if (!out.flush()) std::fprintf(stderr, "could not write %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    std::fprintf(stderr,
                 "usage: process_bench --tarnwick PATH --parallel-read PATH [--memscan PATH] --work DIR\n"
                 "                     --prefix DIR --generated DIR --size MB --large DIR --large-size MB\n"
                 "                     --large-files N [--markdown FILE] [--summary FILE]\n"
                 "                     [--corpora prefix,generated,large] [--warm-runs N] [--cold-runs N]\n"
                 "                     [--large-warm-runs N] [--large-cold-runs N] [--threads-option NAME]\n");
    return 2;
  }
  // The programs run in the work directory (the search writes its log
  // into the directory it runs in), so every path is made absolute.
  for (std::string* path : {&o.tarnwick, &o.parallelRead, &o.memscan, &o.work, &o.markdown, &o.summary, &o.prefix,
                            &o.generated, &o.large}) {
    if (!path->empty()) *path = std::filesystem::absolute(*path).lexically_normal().string();
  }
  std::error_code workMade;
  std::filesystem::create_directories(o.work, workMade);
  if (workMade) {
    std::fprintf(stderr, "cannot make the work directory %s: %s\n", o.work.c_str(), workMade.message().c_str());
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  auto wanted = [&](const std::string& key) {
    return ("," + o.corpora + ",").find("," + key + ",") != std::string::npos;
  };

  std::vector<SearchedTree> corpora;
  if (wanted("prefix")) {
    corpora.push_back(SearchedTree{"prefix",
                                   "Wine prefix",
                                   o.prefix + "/drive_c",
                                   o.prefix,
                                   {"--prefix", o.prefix, "--search-dir", o.prefix + "/drive_c", "--yes"},
                                   o.warmRuns,
                                   o.coldRuns});
  }
  if (wanted("generated")) {
    std::fprintf(stderr, "== writing the generated installation (%zu MB) if needed\n", o.size);
    const GeneratedInstallation made = WriteGeneratedInstallation(o.generated, o.size);
    corpora.push_back(SearchedTree{"generated",
                                   "Generated installation, " + std::to_string(o.size) + " MB",
                                   made.root,
                                   made.root,
                                   {"--root", made.root, "--search-dir", made.root, "--yes"},
                                   o.warmRuns,
                                   o.coldRuns});
  }
  if (wanted("large")) {
    std::fprintf(stderr, "== writing the generated installation (%zu MB, %zu files) if needed\n", o.largeSize,
                 o.largeFiles);
    const auto writing = std::chrono::steady_clock::now();
    const GeneratedInstallation made = WriteGeneratedInstallation(o.large, o.largeSize, o.largeFiles);
    std::fprintf(stderr, "   %.1f s\n",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - writing).count());
    corpora.push_back(SearchedTree{
        "large",
        "Generated installation, " + std::to_string(o.largeSize) + " MB, " + std::to_string(o.largeFiles) + " files",
        made.root,
        made.root,
        {"--root", made.root, "--search-dir", made.root, "--yes"},
        o.largeWarmRuns,
        o.largeColdRuns});
  }
  if (corpora.empty()) {
    std::fprintf(stderr, "no corpus chosen (--corpora takes prefix, generated and large)\n");
    return 2;
  }

  Bench bench(o);
  bench.DetectThreadsOption();
  std::vector<Figures> all;
  for (const SearchedTree& corpus : corpora) all.push_back(bench.Measure(corpus));

  const std::vector<Goal> goals = Goals(all, !o.memscan.empty(), bench.threadsOption());
  const std::string setting = Setting(o, bench.threadsOption());
  const std::string report = Markdown(all, goals, setting);
  std::printf("%s\n", report.c_str());
  WriteFile(o.markdown, report);
  WriteFile(o.summary, Summary(all));
  std::fprintf(stderr, "whole-process benchmark: %.0f s\n",
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  for (const Figures& f : all) {
    if (!f.failures.empty()) return 1;
  }
  return 0;
}
