// Runs a whole search as the dialog's Search command and worker do, with the
// settings of the installation's tarnwick.ini and no window, and prints the
// list lines, so that a search of this build can be compared with the
// console edition's on the same installation.
#include <cstdio>
#include <string>
#include <vector>

#include "config/log.h"
#include "config/settings.h"
#include "tests/support/no_prompts.h"
#include "tests/support/recording_view.h"
#include "usage/process_state.h"
#include "usage/search_run.h"
#include "usage/startup.h"

int main() {
  ProcessState state;
  testbuild::NoPrompts prompts;
  LogOpen("tarnwick.log");
  if (StartupInit(state, prompts) == 0) return 1;
  testbuild::RecordingView view;
  state.view = &view;
  CollectAndListCandidates(state);
  RunSearchPasses(state);
  for (const std::string& line : view.lines) std::printf("%s\n", line.c_str());
  return 0;
}
