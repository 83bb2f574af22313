// The dialog program's entry point: log, common controls, settings and the
// single-instance test, cursors, the main dialog, and the write-back; or,
// given /restore [NAME...], the restore of backed-up libraries alone.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "config/log.h"
#include "config/settings.h"
#include "platform/ascii.h"
#include "ui/win32/gui_state.h"
#include "ui/win32/main_dialog.h"
#include "ui/win32/resource_ids.h"
#include "usage/outcome_texts.h"
#include "usage/process_state.h"
#include "usage/restore.h"
#include "usage/startup.h"

namespace {

class MessageBoxPrompts : public StartupPrompts {
 public:
  bool AskYesNo(const char* caption, const char* text) override {
    return MessageBoxA(nullptr, text, caption, MB_YESNO | MB_SYSTEMMODAL | MB_TOPMOST) == IDYES;
  }
  void Inform(const char* text) override { MessageBoxA(nullptr, text, "Tarnwick", MB_OK | MB_ICONINFORMATION); }
};

// The blank-separated words of the command line; a word in double quotes
// may hold blanks.
std::vector<std::string> Words(const char* commandLine) {
  std::vector<std::string> words;
  for (const char* c = commandLine; *c != 0;) {
    if (*c == ' ' || *c == '\t') {
      ++c;
      continue;
    }
    std::string word;
    if (*c == '"') {
      for (++c; *c != 0 && *c != '"'; ++c) word += *c;
      if (*c == '"') ++c;
    } else {
      for (; *c != 0 && *c != ' ' && *c != '\t'; ++c) word += *c;
    }
    words.push_back(word);
  }
  return words;
}

// The restore without the dialog: the settings are read for the backup
// folder (no single-instance test, nothing written back), every library is
// logged, and the exit code tells whether all went back.
int RunRestore(const std::vector<std::string>& names) {
  LogOpen("tarnwick.log");
  MessageBoxPrompts prompts;
  ProcessState state;
  ReadSettings(state, prompts);
  LogPrintf("Restore of backed-up libraries from %s\n", state.settings.BackupDir);
  const RestoreOutcome outcome = RestoreBackedUpLibraries(state, names);
  LogPrintf("%s", RestoreOutcomeText(outcome, kAllNames).c_str());
  return outcome.ExitStatus();
}

int Run(HINSTANCE instance, const char* commandLine) {
  const std::vector<std::string> words = Words(commandLine != nullptr ? commandLine : "");
  if (!words.empty() && EqualIgnoringAsciiCase(words.front().c_str(), "/restore")) {
    try {
      return RunRestore(std::vector<std::string>(words.begin() + 1, words.end()));
    } catch (...) {
      return 1;  // out of memory part-way: not everything may have gone back
    }
  }
  LogOpen("tarnwick.log");
  InitCommonControls();
  MessageBoxPrompts prompts;
  // Shared with the dialog and its search workers: a worker of a later
  // search may still run while the process exits.
  const auto state = std::make_shared<ProcessState>();
  if (StartupInit(*state, prompts) == 0) return 0;
  auto dialog = std::make_shared<MainDialog>(state, LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_CURSOR)),
                                             LoadCursorA(instance, MAKEINTRESOURCEA(IDC_ALT_HAND_CURSOR)));
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), GetDesktopWindow(), MainDialogProc,
                  reinterpret_cast<LPARAM>(&dialog));
  SaveSettings(state->settings);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  try {
    return Run(instance, commandLine);
  } catch (...) {
    return 0;
  }
}
