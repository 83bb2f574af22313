// The search view of the main dialog: the status bar and the list box.
// On the interface thread every call acts at once. From the search worker:
// a status text is left in a slot that the interface thread shows from a
// timer, so that the worker never waits for the window once per file (the
// latest text left is on the screen at most one timer period later); the
// list changes are sent and wait until the interface thread has made them;
// the one-message pass does nothing, as the worker has no window of its own.
#ifndef TARNWICK_UI_WIN32_DIALOG_VIEW_H
#define TARNWICK_UI_WIN32_DIALOG_VIEW_H

#include <windows.h>

#include <mutex>
#include <string>

#include "usage/search_view.h"

struct MainDialog;

class DialogView : public SearchView {
 public:
  // The timer of the main dialog that shows the worker's status texts.
  static constexpr UINT_PTR kStatusTimer = 1;
  static constexpr UINT kStatusPeriodMs = 30;

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
  // ended (the timer stops, a text it left unshown is dropped).
  void WorkerStarting();
  void WorkerEnded();
  // Interface thread, from the timer: shows the text the worker left last,
  // if it has not been shown yet.
  void ShowPendingStatus();
  // Interface thread: sets the status text at once; a text the worker left
  // before is older and is dropped.
  void SetStatusText(const char* text);

 private:
  bool OnInterfaceThread() const;

  MainDialog& dialog_;
  std::mutex mutex_;
  std::string pending_;
  bool hasPending_ = false;
};

#endif
