#include "ui/win32/dialog_view.h"

#include "ui/win32/gui_state.h"

ListRedrawPause::ListRedrawPause(HWND list) : list_(list) {
  if (list_ != nullptr) SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
}

ListRedrawPause::~ListRedrawPause() {
  if (list_ == nullptr) return;
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

bool DialogView::OnInterfaceThread() const {
  return interfaceThread_ == 0 || interfaceThread_ == GetCurrentThreadId();
}

void DialogView::Queue(ListChange::Kind kind, int value, const char* line) {
  std::lock_guard<std::mutex> lock(mutex_);
  changes_.push_back({kind, value, line != nullptr ? line : ""});
}

void DialogView::MakeQueuedListChanges() {
  std::vector<ListChange> changes;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    changes.swap(changes_);
  }
  HWND list = dialog_.ResultListBox;
  if (changes.empty() || list == nullptr) return;
  const ListRedrawPause pause(list);
  // The extent is one value, and no line change depends on it: only the
  // last one queued is set, once. Under Wine every LB_SETHORIZONTALEXTENT
  // redraws the scroll bar even while the list is not redrawn, about 4 ms,
  // and a search widens the list many times a batch.
  int extent = -1;
  for (const ListChange& change : changes) {
    const auto value = static_cast<WPARAM>(change.value);
    const auto line = reinterpret_cast<LPARAM>(change.line.c_str());
    switch (change.kind) {
      case ListChange::kClear:
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        break;
      case ListChange::kAdd:
        SendMessageA(list, LB_ADDSTRING, 0, line);
        break;
      case ListChange::kInsert:
        SendMessageA(list, LB_INSERTSTRING, value, line);
        break;
      case ListChange::kDelete:
        SendMessageA(list, LB_DELETESTRING, value, 0);
        break;
      case ListChange::kExtent:
        extent = change.value;
        break;
    }
  }
  if (extent >= 0) SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
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
  if (GetTickCount() - listChangedAt_ >= kListPeriodMs) {
    MakeQueuedListChanges();
    listChangedAt_ = GetTickCount();
  }
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
  interfaceThread_ = GetCurrentThreadId();
  workerExtent_ = dialog_.ResultListBox != nullptr ? HorizontalExtent() : 0;
  listChangedAt_ = GetTickCount();
  // A new context holds the same font as a window's context from GetDC,
  // which the lines have always been measured in.
  if (dialog_.ResultListBox != nullptr && workerMeasure_ == nullptr) workerMeasure_ = CreateCompatibleDC(nullptr);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hasPending_ = false;
    changes_.clear();
  }
  if (dialog_.window != nullptr) SetTimer(dialog_.window, kStatusTimer, kStatusPeriodMs, nullptr);
}

void DialogView::WorkerEnded() {
  MakeQueuedListChanges();
  if (workerMeasure_ != nullptr) {
    DeleteDC(workerMeasure_);
    workerMeasure_ = nullptr;
  }
  if (dialog_.window != nullptr) KillTimer(dialog_.window, kStatusTimer);
  std::lock_guard<std::mutex> lock(mutex_);
  hasPending_ = false;
}

void DialogView::PassOneMessage() {
  if (OnInterfaceThread()) ::PassOneMessage();
}

void DialogView::ClearLines() {
  if (!OnInterfaceThread()) return Queue(ListChange::kClear, 0, nullptr);
  if (dialog_.ResultListBox != nullptr) SendMessageA(dialog_.ResultListBox, LB_RESETCONTENT, 0, 0);
}

void DialogView::AddLine(const char* line) {
  if (!OnInterfaceThread()) return Queue(ListChange::kAdd, 0, line);
  SendMessageA(dialog_.ResultListBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

void DialogView::InsertLine(int index, const char* line) {
  if (!OnInterfaceThread()) return Queue(ListChange::kInsert, index, line);
  SendMessageA(dialog_.ResultListBox, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line));
}

void DialogView::DeleteLine(int index) {
  if (!OnInterfaceThread()) return Queue(ListChange::kDelete, index, nullptr);
  SendMessageA(dialog_.ResultListBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

// Measured as plain text in the list box's device context; the tabs are
// not expanded, so the width errs on the narrow side for tabbed lines.
int DialogView::MeasureLine(const char* line, int length) {
  SIZE size = {0, 0};
  if (!OnInterfaceThread() && workerMeasure_ != nullptr) {
    GetTextExtentPoint32A(workerMeasure_, line, length, &size);
    return size.cx;
  }
  HDC dc = GetDC(dialog_.ResultListBox);
  GetTextExtentPoint32A(dc, line, length, &size);
  ReleaseDC(dialog_.ResultListBox, dc);
  return size.cx;
}

int DialogView::HorizontalExtent() {
  if (!OnInterfaceThread()) return workerExtent_;
  return static_cast<int>(SendMessageA(dialog_.ResultListBox, LB_GETHORIZONTALEXTENT, 0, 0));
}

void DialogView::SetHorizontalExtent(int extent) {
  if (!OnInterfaceThread()) {
    workerExtent_ = extent;
    return Queue(ListChange::kExtent, extent, nullptr);
  }
  SendMessageA(dialog_.ResultListBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}
