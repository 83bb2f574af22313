#include "ui/win32/dialog_view.h"

#include "ui/win32/gui_state.h"

void DialogView::ShowStatus(const char* text) {
  if (StatusBar == nullptr) return;
  SetWindowTextA(StatusBar, text);
  ::PassOneMessage();
}

void DialogView::PassOneMessage() { ::PassOneMessage(); }

void DialogView::ClearLines() {
  if (ResultListBox != nullptr) SendMessageA(ResultListBox, LB_RESETCONTENT, 0, 0);
}

void DialogView::AddLine(const char* line) {
  SendMessageA(ResultListBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

void DialogView::InsertLine(int index, const char* line) {
  SendMessageA(ResultListBox, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line));
}

void DialogView::DeleteLine(int index) {
  SendMessageA(ResultListBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

// Measured as plain text in the list box's device context; the tabs are
// not expanded, so the width errs on the narrow side for tabbed lines.
int DialogView::MeasureLine(const char* line, int length) {
  HDC dc = GetDC(ResultListBox);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, line, length, &size);
  ReleaseDC(ResultListBox, dc);
  return size.cx;
}

int DialogView::HorizontalExtent() {
  return static_cast<int>(SendMessageA(ResultListBox, LB_GETHORIZONTALEXTENT, 0, 0));
}

void DialogView::SetHorizontalExtent(int extent) {
  SendMessageA(ResultListBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}
