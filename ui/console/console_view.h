// The terminal presentation of the main dialog's status bar and list.
//
// The list is kept as the list box would hold it; the status bar is one
// line on standard error, rewritten in place on a terminal (with the files
// checked in the current pass in front of it), plain lines otherwise.
#ifndef TARNWICK_UI_CONSOLE_CONSOLE_VIEW_H
#define TARNWICK_UI_CONSOLE_CONSOLE_VIEW_H

#include <cstdio>
#include <string>
#include <vector>

#include "usage/search_view.h"

struct ProcessState;

class ConsoleView : public SearchView {
 public:
  ConsoleView(std::FILE* status, bool statusIsTerminal, const ProcessState* state);

  void ShowStatus(const char* text) override;
  void FileChecked(const char* path) override;
  void PassOneMessage() override {}
  void ClearLines() override { lines_.clear(); }
  void AddLine(const char* line) override { lines_.emplace_back(line); }
  void InsertLine(int index, const char* line) override;
  void DeleteLine(int index) override;
  int MeasureLine(const char*, int length) override { return length; }
  int HorizontalExtent() override { return extent_; }
  void SetHorizontalExtent(int extent) override { extent_ = extent; }

  const std::vector<std::string>& lines() const { return lines_; }
  // Ends a status line that was rewritten in place, before other output.
  void FinishStatus();
  // Writes a message line to the status stream.
  void Say(const std::string& text);

 private:
  // True while a search runs; the count starts again with each pass.
  bool CountingFiles();

  std::FILE* status_;
  bool terminal_;
  const ProcessState* state_;
  bool statusOpen_ = false;
  int checked_ = 0;
  int lastMode_ = -1;
  int extent_ = 0;
  std::vector<std::string> lines_;
};

#endif
