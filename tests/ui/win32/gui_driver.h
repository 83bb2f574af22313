// Drives tarnwick.exe as a person would: starts it, finds its windows,
// reads what they show and clicks their buttons. Every wait is bounded, so
// a program that hangs fails the test instead of hanging it.
#ifndef TARNWICK_TESTS_UI_WIN32_GUI_DRIVER_H
#define TARNWICK_TESTS_UI_WIN32_GUI_DRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace gui {

constexpr DWORD kWaitMs = 30000;
constexpr const char* kMainTitle = "Tarnwick for Windows 95/NT";

// Waits until condition holds or the time is up; pumps nothing of its own.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs);

class Program {
 public:
  // Starts the program in workDirectory (where its log goes), with the
  // arguments after its name on the command line.
  Program(const std::string& exe, const std::string& workDirectory, const std::string& arguments = "");
  ~Program();

  bool Started() const { return process_ != nullptr; }
  // Waits for the process to end; false when it did not within the time.
  bool WaitForExit(DWORD timeoutMs = kWaitMs);
  bool Running() const;
  // The exit code of a process that has ended.
  DWORD ExitCode() const;
  DWORD ProcessId() const { return processId_; }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
};

// The top-level dialog of process processId (any when 0) with this title.
HWND FindDialog(const std::string& title, DWORD processId = 0);
HWND WaitForDialog(const std::string& title, DWORD processId = 0, DWORD timeoutMs = kWaitMs);

std::string Text(HWND window);
std::string ControlText(HWND dialog, int id);
std::vector<std::string> ListLines(HWND dialog, int id);
bool Enabled(HWND dialog, int id);

// Clicks a button the way the mouse would (BM_CLICK).
void Click(HWND dialog, int id);
// Answers a message box with one of its buttons (IDYES, IDNO, IDOK).
void Answer(HWND messageBox, int button);
// The text of a message box.
std::string MessageText(HWND messageBox);

// Windows paths of the Unix paths Wine maps through Z:.
std::string WindowsPath(const std::string& unixPath);

}  // namespace gui

#endif
