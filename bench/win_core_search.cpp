// The search passes of the dialog program without its dialog, for the
// Windows build's benchmark (bench/windows_build.sh): the settings of the
// Windows directory's tarnwick.ini, the candidates collected, then the
// passes timed from their start to their end with a view that shows
// nothing. Prints the seconds and the number of candidates.
#include <windows.h>

#include <cstdio>

#include "config/log.h"
#include "config/settings.h"
#include "usage/process_state.h"
#include "usage/search_run.h"
#include "usage/search_view.h"
#include "usage/startup.h"

namespace {

class NoPrompts : public StartupPrompts {
 public:
  bool AskYesNo(const char*, const char*) override { return false; }
  void Inform(const char* text) override { std::fprintf(stderr, "%s\n", text); }
};

class NoView : public SearchView {
 public:
  void ShowStatus(const char*) override {}
  void PassOneMessage() override {}
  void ClearLines() override {}
  void AddLine(const char*) override {}
  void InsertLine(int, const char*) override {}
  void DeleteLine(int) override {}
  int MeasureLine(const char*, int length) override { return length; }
  int HorizontalExtent() override { return extent_; }
  void SetHorizontalExtent(int extent) override { extent_ = extent; }

 private:
  int extent_ = 0;
};

}  // namespace

int main() {
  // The dialog program logs its search too; the same log here.
  LogOpen("tarnwick.log");
  NoPrompts prompts;
  NoView view;
  auto* state = new ProcessState();
  ReadSettings(*state, prompts);
  state->view = &view;
  CollectAndListCandidates(*state);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  try {
    RunSearchPasses(*state);
  } catch (...) {
    std::fprintf(stderr, "the search ended early\n");
    return 1;
  }
  QueryPerformanceCounter(&end);
  const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("%.3f %s\n", seconds, SearchDoneText(*state).c_str());
  return 0;
}
