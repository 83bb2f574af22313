// Runs a program with arguments, an environment override and a working
// folder, standard input from /dev/null, and collects what it writes.
#ifndef TARNWICK_TESTS_UI_CONSOLE_RUN_PROGRAM_H
#define TARNWICK_TESTS_UI_CONSOLE_RUN_PROGRAM_H

#include <string>
#include <utility>
#include <vector>

namespace testbuild {

struct ProgramRun {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& workDirectory,
                      const std::vector<std::pair<std::string, std::string>>& environment = {});

}  // namespace testbuild

#endif
