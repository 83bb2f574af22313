// The dialog program's entry point: log, common controls, settings and the
// single-instance test, cursors, the main dialog, and the write-back.
#include <windows.h>

#include <commctrl.h>

#include "config/log.h"
#include "config/settings.h"
#include "ui/win32/gui_state.h"
#include "ui/win32/main_dialog.h"
#include "ui/win32/resource_ids.h"
#include "usage/process_state.h"

namespace {

class MessageBoxPrompts : public StartupPrompts {
 public:
  bool AskYesNo(const char* caption, const char* text) override {
    return MessageBoxA(nullptr, text, caption, MB_YESNO | MB_SYSTEMMODAL | MB_TOPMOST) == IDYES;
  }
  void Inform(const char* text) override { MessageBoxA(nullptr, text, "Tarnwick", MB_OK | MB_ICONINFORMATION); }
};

int Run(HINSTANCE instance) {
  LogOpen("tarnwick.log");
  InitCommonControls();
  MessageBoxPrompts prompts;
  ProcessState& state = AppState();
  if (StartupInit(state, prompts) == 0) return 0;
  HandCursor = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_CURSOR));
  AltHandCursor = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_ALT_HAND_CURSOR));
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), GetDesktopWindow(), MainDialogProc, 0);
  SaveSettings(state);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return Run(instance);
  } catch (...) {
    return 0;
  }
}
