// The search view of the main dialog: the status bar and the list box.
// Every call may come from the worker thread; the window messages it sends
// block until the interface thread has handled them.
#ifndef TARNWICK_UI_WIN32_DIALOG_VIEW_H
#define TARNWICK_UI_WIN32_DIALOG_VIEW_H

#include <windows.h>

#include "usage/search_view.h"

struct MainDialog;

class DialogView : public SearchView {
 public:
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

 private:
  MainDialog& dialog_;
};

#endif
