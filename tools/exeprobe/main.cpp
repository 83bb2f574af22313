#include <cstdio>

#include "tools/exeprobe/exeprobe.h"

int main(int argc, char** argv) { return RunExeprobe(argc, argv, stdout); }
