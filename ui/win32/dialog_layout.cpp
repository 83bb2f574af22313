#include "ui/win32/dialog_layout.h"

#include "ui/win32/resource_ids.h"

namespace {

bool PlaceOf(HWND dialog, int id, RECT* rect) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr || !GetWindowRect(control, rect)) return false;
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(rect), 2);
  return true;
}

}  // namespace

void DialogLayout::Capture(HWND dialog, HWND statusBar) {
  RECT window, client;
  if (!GetWindowRect(dialog, &window) || !GetClientRect(dialog, &client)) return;
  window_ = {window.right - window.left, window.bottom - window.top};
  client_ = {client.right, client.bottom};
  statusBar_ = statusBar;
  followBottom_.clear();
  for (int id : {IDC_SEARCH, IDC_RECURSE, IDC_BACKUP, IDC_EXIT, IDC_LOGO}) {
    Placed placed = {id, {0, 0, 0, 0}};
    if (PlaceOf(dialog, id, &placed.rect)) followBottom_.push_back(placed);
  }
  list_.id = IDC_RESULT_LIST;
  captured_ = PlaceOf(dialog, IDC_RESULT_LIST, &list_.rect);
}

void DialogLayout::Apply(HWND dialog) const {
  if (!captured_) return;
  RECT client;
  if (!GetClientRect(dialog, &client)) return;
  // Never below the opening size, so a control is never pushed off its place.
  const int dx = client.right > client_.cx ? client.right - client_.cx : 0;
  const int dy = client.bottom > client_.cy ? client.bottom - client_.cy : 0;
  HDWP moves = BeginDeferWindowPos(static_cast<int>(followBottom_.size()) + 1);
  const auto place = [&](int id, int x, int y, int width, int height) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) return;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (moves != nullptr) {
      moves = DeferWindowPos(moves, control, nullptr, x, y, width, height, flags);
    } else {
      SetWindowPos(control, nullptr, x, y, width, height, flags);
    }
  };
  const RECT& l = list_.rect;
  place(list_.id, l.left, l.top, l.right - l.left + dx, l.bottom - l.top + dy);
  for (const Placed& placed : followBottom_) {
    const RECT& r = placed.rect;
    place(placed.id, r.left, r.top + dy, r.right - r.left, r.bottom - r.top);
  }
  if (moves != nullptr) EndDeferWindowPos(moves);
  // A status bar places itself along its parent's bottom edge.
  if (statusBar_ != nullptr) SendMessageA(statusBar_, WM_SIZE, 0, 0);
  InvalidateRect(dialog, nullptr, TRUE);
}

void DialogLayout::Limit(MINMAXINFO* info) const {
  if (!captured_) return;
  info->ptMinTrackSize.x = window_.cx;
  info->ptMinTrackSize.y = window_.cy;
}
