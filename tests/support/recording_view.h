// A view that keeps what the search shows: the list lines as a list box
// would hold them, every status text, and the horizontal extent.
#ifndef TARNWICK_TESTS_SUPPORT_RECORDING_VIEW_H
#define TARNWICK_TESTS_SUPPORT_RECORDING_VIEW_H

#include <string>
#include <vector>

#include "usage/search_view.h"

namespace testbuild {

class RecordingView : public SearchView {
 public:
  void ShowStatus(const char* text) override {
    statuses.push_back(text);
    ++passes;
  }
  void PassOneMessage() override { ++passes; }
  void ClearLines() override { lines.clear(); }
  void AddLine(const char* line) override { lines.push_back(line); }
  // Like a list box, an index outside the list changes nothing.
  void InsertLine(int index, const char* line) override {
    if (index >= 0 && index <= static_cast<int>(lines.size())) lines.insert(lines.begin() + index, line);
  }
  void DeleteLine(int index) override {
    if (index >= 0 && index < static_cast<int>(lines.size())) lines.erase(lines.begin() + index);
  }
  // Every character is 6 units wide, but 'W' 10: lines of equal length can
  // differ in width.
  int MeasureLine(const char* line, int length) override {
    ++measurements;
    int width = 0;
    for (int i = 0; i < length; ++i) width += line[i] == 'W' ? 10 : 6;
    return width;
  }
  int HorizontalExtent() override { return extent; }
  void SetHorizontalExtent(int value) override { extent = value; }

  std::vector<std::string> statuses;
  std::vector<std::string> lines;
  int passes = 0;
  int measurements = 0;
  int extent = 0;
};

}  // namespace testbuild

#endif
