#include "tests/ui/win32/gui_driver.h"

#include <vector>

namespace gui {

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(25);
  }
}

Program::Program(const std::string& exe, const std::string& workDirectory, const std::string& arguments) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, workDirectory.c_str(),
                     &startup, &info)) {
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    CloseHandle(info.hThread);
  }
}

Program::~Program() {
  if (process_ == nullptr) return;
  if (Running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, kWaitMs);
  }
  CloseHandle(process_);
}

bool Program::WaitForExit(DWORD timeoutMs) {
  return process_ != nullptr && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_ != nullptr) GetExitCodeProcess(process_, &code);
  return code;
}

bool Program::Running() const { return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

namespace {

struct Search {
  std::string title;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) != "#32770" || Text(window) != search->title) return TRUE;
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->processId != 0 && owner != search->processId) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindDialog(const std::string& title, DWORD processId) {
  Search search{title, processId, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(const std::string& title, DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindDialog(title, processId)) != nullptr; }, timeoutMs);
  return found;
}

std::string Text(HWND window) {
  char text[1024] = "";
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
  return text;
}

std::string ControlText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

// The Unicode message: Wine hands another process's list lines through
// LB_GETTEXT correctly only in its wide form.
std::vector<std::string> ListLines(HWND dialog, int id) {
  HWND list = GetDlgItem(dialog, id);
  std::vector<std::string> lines;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> text(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), size, nullptr, nullptr);
    lines.emplace_back(text.data());
  }
  return lines;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Answer(HWND messageBox, int button) { PostMessageA(messageBox, WM_COMMAND, static_cast<WPARAM>(button), 0); }

std::string MessageText(HWND messageBox) { return ControlText(messageBox, 0xFFFF); }

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace gui
