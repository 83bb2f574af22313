#include "ui/win32/gui_state.h"

#include <utility>

#include "usage/process_state.h"

MainDialog::MainDialog(std::shared_ptr<ProcessState> processState, HCURSOR hand, HCURSOR altHand)
    : process(std::move(processState)), state(*process), HandCursor(hand), AltHandCursor(altHand), view(*this) {}

MainDialog::~MainDialog() {
  // The last holder is gone: no search shows anything through this view any more.
  if (state.view == &view) state.view = nullptr;
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
