// Running one program as a whole process, the way a user runs it, and
// timing it from the outside: wall-clock seconds from start to exit and its
// peak resident memory (the child's getrusage maximum).
#ifndef TARNWICK_BENCH_PROCESS_RUN_H
#define TARNWICK_BENCH_PROCESS_RUN_H

#include <cstdint>
#include <string>
#include <vector>

struct ProcessRun {
  bool started = false;
  int exitStatus = -1;  // the exit status; -1 when killed by a signal or not started
  int signal = 0;       // the signal that ended it, else 0
  double seconds = 0;
  std::uint64_t peakResidentBytes = 0;
  // The benchmark's own resident size when it started the child: the
  // kernel reports no child peak below it (see RunProcess).
  std::uint64_t launcherResidentBytes = 0;

  bool Succeeded() const { return started && exitStatus == 0; }
  std::string Describe() const;  // "exit status 3", "killed by signal 11", ...
};

// Runs arguments[0] (a path, not looked up on PATH) in the directory
// given, with standard input from /dev/null and standard output and error
// into the files named ("/dev/null" to drop them), and waits for it.
//
// At exec the kernel counts the peak resident size of the memory the child
// had before into the child's own, and a child started with posix_spawn
// shares the benchmark's memory until then: without care, the child would
// be charged with the benchmark's own peak (hundreds of megabytes after
// writing a generated installation). So the benchmark's peak is reset to
// its current size first (/proc/self/clear_refs), which is then the least
// a child can be reported to use.
ProcessRun RunProcess(const std::vector<std::string>& arguments, const std::string& directory,
                      const std::string& outputFile, const std::string& errorFile);

// The median of the values (the mean of the middle two for an even count);
// 0 for none.
double Median(std::vector<double> values);

#endif
