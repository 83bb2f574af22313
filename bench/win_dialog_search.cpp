// The dialog program's search through its real dialog, for the Windows
// build's benchmark (bench/windows_build.sh): starts tarnwick.exe, clicks
// Search, answers Yes and times from the answer until the status bar reads
// "done total", then ends the program with its Exit button. Prints the
// seconds from Search to its question (the candidates collected and
// listed) on one line, then the search's seconds and the closing status
// text on the last. Every wait is bounded.
//
//     win_dialog_search.exe TARNWICK_EXE WORK_DIRECTORY
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/ui/win32/gui_driver.h"
#include "ui/win32/resource_ids.h"

namespace {

constexpr DWORD kSearchLimitMs = 300000;

std::string Status(HWND dialog) { return gui::Text(GetDlgItem(dialog, IDC_STATUS_BAR)); }

int Fail(const char* what) {
  std::fprintf(stderr, "win_dialog_search: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: win_dialog_search TARNWICK_EXE WORK_DIRECTORY");
  gui::Program program(argv[1], argv[2]);
  if (!program.Started()) return Fail("the program did not start");
  HWND dialog = gui::WaitForDialog(gui::kMainTitle, program.ProcessId());
  if (dialog == nullptr) return Fail("no main dialog");
  if (!gui::WaitFor([&] { return Status(dialog) == "done"; })) return Fail("the dialog did not finish opening");
  LARGE_INTEGER frequency, clicked, start, end;
  QueryPerformanceFrequency(&frequency);
  const auto seconds = [&](const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
  };
  QueryPerformanceCounter(&clicked);
  gui::Click(dialog, IDC_SEARCH);
  HWND question = gui::WaitForDialog("Question", program.ProcessId(), kSearchLimitMs);
  if (question == nullptr) return Fail("no question");
  QueryPerformanceCounter(&start);
  gui::Answer(question, IDYES);
  // Polled often enough for the figure (20 ms of some seconds), seldom
  // enough that the reading does not slow the program's interface thread.
  std::string status;
  const DWORD began = GetTickCount();
  for (;;) {
    status = Status(dialog);
    if (status.rfind("done total", 0) == 0) break;
    if (GetTickCount() - began > kSearchLimitMs) return Fail("the search did not end in time");
    Sleep(20);
  }
  QueryPerformanceCounter(&end);
  gui::Click(dialog, IDC_EXIT);
  if (!program.WaitForExit()) return Fail("the program did not end");
  std::printf("%.3f s from Search to its question\n", seconds(clicked, start));
  std::printf("%.3f %s\n", seconds(start, end), status.c_str());
  return 0;
}
