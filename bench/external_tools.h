// The programs the benchmark compares the search with, run and timed from
// here: ripgrep over the tree with every candidate's 8-bit and UTF-16LE
// name, and objdump -p once per file for the import pass.
#ifndef TARNWICK_BENCH_EXTERNAL_TOOLS_H
#define TARNWICK_BENCH_EXTERNAL_TOOLS_H

#include <string>
#include <vector>

// Whether the program can be found on PATH.
bool ProgramAvailable(const std::string& program);

// Seconds for `rg -j1 -uuu -a -i -F --count-matches -f PATTERNS root`, the
// patterns being each name and its UTF-16LE form; a negative value when rg
// failed. patternFile is written first.
double TimeRipgrep(const std::string& root, const std::vector<std::string>& names, const std::string& patternFile);

// Seconds for running `objdump -p FILE` once for every file, one after
// another; a negative value when it could not be started.
double TimeObjdumpPerFile(const std::string& objdump, const std::vector<std::string>& files);

#endif
