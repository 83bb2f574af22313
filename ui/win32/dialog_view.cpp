#include "ui/win32/dialog_view.h"

#include "ui/win32/gui_state.h"

bool DialogView::OnInterfaceThread() const {
  return dialog_.window == nullptr || GetWindowThreadProcessId(dialog_.window, nullptr) == GetCurrentThreadId();
}

void DialogView::ShowStatus(const char* text) {
  if (dialog_.StatusBar == nullptr) return;
  if (!OnInterfaceThread()) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = text;
    hasPending_ = true;
    return;
  }
  SetStatusText(text);
  ::PassOneMessage();
}

void DialogView::SetStatusText(const char* text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hasPending_ = false;
  }
  if (dialog_.StatusBar != nullptr) SetWindowTextA(dialog_.StatusBar, text);
}

void DialogView::ShowPendingStatus() {
  std::string text;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!hasPending_) return;
    text.swap(pending_);
    hasPending_ = false;
  }
  // Set outside the lock: the worker never waits for the window.
  if (dialog_.StatusBar != nullptr) SetWindowTextA(dialog_.StatusBar, text.c_str());
}

void DialogView::WorkerStarting() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hasPending_ = false;
  }
  if (dialog_.window != nullptr) SetTimer(dialog_.window, kStatusTimer, kStatusPeriodMs, nullptr);
}

void DialogView::WorkerEnded() {
  if (dialog_.window != nullptr) KillTimer(dialog_.window, kStatusTimer);
  std::lock_guard<std::mutex> lock(mutex_);
  hasPending_ = false;
}

void DialogView::PassOneMessage() {
  if (OnInterfaceThread()) ::PassOneMessage();
}

void DialogView::ClearLines() {
  if (dialog_.ResultListBox != nullptr) SendMessageA(dialog_.ResultListBox, LB_RESETCONTENT, 0, 0);
}

void DialogView::AddLine(const char* line) {
  SendMessageA(dialog_.ResultListBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

void DialogView::InsertLine(int index, const char* line) {
  SendMessageA(dialog_.ResultListBox, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line));
}

void DialogView::DeleteLine(int index) {
  SendMessageA(dialog_.ResultListBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

// Measured as plain text in the list box's device context; the tabs are
// not expanded, so the width errs on the narrow side for tabbed lines.
int DialogView::MeasureLine(const char* line, int length) {
  HDC dc = GetDC(dialog_.ResultListBox);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, line, length, &size);
  ReleaseDC(dialog_.ResultListBox, dc);
  return size.cx;
}

int DialogView::HorizontalExtent() {
  return static_cast<int>(SendMessageA(dialog_.ResultListBox, LB_GETHORIZONTALEXTENT, 0, 0));
}

void DialogView::SetHorizontalExtent(int extent) {
  SendMessageA(dialog_.ResultListBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}
