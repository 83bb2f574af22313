// The search view of the main dialog: the status bar and the list box.
// On the interface thread every call acts at once. From the search worker
// nothing waits for the window: a status text is left in a slot, and the
// list changes are queued, and a timer of the dialog shows the latest text
// at most one period later and makes the queued changes, the lines in their
// order and the last extent, at most one list period later (the list box is
// redrawn once per batch, not once per change: under Wine redrawing it 25
// times a second took a fifth of the search's time). The worker
// keeps its own copy of the horizontal extent, which only it changes while
// it runs, and measures lines in a memory device context of its own, whose
// font is the one the list box's context from GetDC holds: the same widths,
// without taking and releasing a window's context for every line (under
// Wine each of those asks the server for the window's visible region). The one-message
// pass does nothing on the worker, which has no window of its own.
#ifndef TARNWICK_UI_WIN32_DIALOG_VIEW_H
#define TARNWICK_UI_WIN32_DIALOG_VIEW_H

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "usage/search_view.h"

struct MainDialog;

// While it lives, the list box takes changes without being redrawn; it is
// redrawn once when the pause ends. Under Wine a list box redrawn for every
// line added took about 5 ms a line, most of the wait between Search and
// its question.
class ListRedrawPause {
 public:
  explicit ListRedrawPause(HWND list);
  ~ListRedrawPause();
  ListRedrawPause(const ListRedrawPause&) = delete;
  ListRedrawPause& operator=(const ListRedrawPause&) = delete;

 private:
  HWND list_;
};

class DialogView : public SearchView {
 public:
  // The timer of the main dialog that shows the worker's status texts.
  static constexpr UINT_PTR kStatusTimer = 1;
  static constexpr UINT kStatusPeriodMs = 40;
  static constexpr DWORD kListPeriodMs = 250;

  explicit DialogView(MainDialog& dialog) : dialog_(dialog) {}

  void ShowStatus(const char* text) override;
  void PassOneMessage() override;
  void ClearLines() override;
  void AddLine(const char* line) override;
  void InsertLine(int index, const char* line) override;
  void DeleteLine(int index) override;
  int MeasureLine(const char* line, int length) override;
  int HorizontalExtent() override;
  void SetHorizontalExtent(int extent) override;

  // Interface thread: a worker is about to start (the timer runs), or has
  // ended (its queued list changes are made, the timer stops, a text it left
  // unshown is dropped: the closing text follows).
  void WorkerStarting();
  void WorkerEnded();
  // Interface thread, from the timer: shows the text the worker left last,
  // if not shown yet, and once a list period makes the list changes it queued.
  void ShowPendingStatus();
  // Interface thread: sets the status text at once; a text the worker left
  // before is older and is dropped.
  void SetStatusText(const char* text);

 private:
  struct ListChange {
    enum Kind { kClear, kAdd, kInsert, kDelete, kExtent } kind;
    int value;
    std::string line;
  };

  bool OnInterfaceThread() const;
  // Queues a change from the worker.
  void Queue(ListChange::Kind kind, int value, const char* line);
  void MakeQueuedListChanges();

  MainDialog& dialog_;
  // The thread that runs the dialog, noted when a worker starts; none before.
  DWORD interfaceThread_ = 0;
  // The worker's copy of the list's horizontal extent.
  int workerExtent_ = 0;
  // When the timer last made the queued list changes.
  DWORD listChangedAt_ = 0;
  // The worker's context for measuring lines, while it runs.
  HDC workerMeasure_ = nullptr;
  std::mutex mutex_;
  std::string pending_;
  bool hasPending_ = false;
  std::vector<ListChange> changes_;
};

#endif
