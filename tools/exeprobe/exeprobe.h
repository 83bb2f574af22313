// The console analyser: classifies the file named by the first argument and
// writes the banner, the analysis's trace lines and the verdict to out.
#ifndef TARNWICK_TOOLS_EXEPROBE_EXEPROBE_H
#define TARNWICK_TOOLS_EXEPROBE_EXEPROBE_H

#include <cstdio>

// Returns the process exit status, which is 0 in every case.
int RunExeprobe(int argc, char** argv, std::FILE* out);

#endif
