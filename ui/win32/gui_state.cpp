#include "ui/win32/gui_state.h"

#include "usage/process_state.h"

HCURSOR HandCursor = nullptr;
HCURSOR AltHandCursor = nullptr;
HCURSOR MainSavedCursor = nullptr;
HCURSOR AboutSavedCursor = nullptr;
HWND StatusBar = nullptr;
HWND ResultListBox = nullptr;
RECT LinkHotRect = {0, 0, 0, 0};

ProcessState& AppState() {
  static ProcessState* state = new ProcessState();
  return *state;
}

void PassOneMessage() {
  MSG message;
  if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool PointerOnControl(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return false;
  POINT pointer;
  RECT area;
  GetCursorPos(&pointer);
  GetWindowRect(control, &area);
  return PtInRect(&area, pointer) != FALSE;
}
