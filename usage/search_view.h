// What the search shows on the screen, and all it may change there: the
// status text, the list of candidate lines and its horizontal extent. The
// dialog, the console edition and the tests' recording double implement it;
// the core never touches a window itself.
#ifndef TARNWICK_USAGE_SEARCH_VIEW_H
#define TARNWICK_USAGE_SEARCH_VIEW_H

class SearchView {
 public:
  virtual ~SearchView() = default;

  // Sets the status text (when there is a status bar), then lets one pending
  // message of the calling thread through, so that a long loop on the
  // interface thread keeps the window alive.
  virtual void ShowStatus(const char* text) = 0;
  // A file is about to be checked (its status text follows); a view that
  // counts the files checked counts here, never by reading the status text.
  virtual void FileChecked(const char* path) {}
  // The one-message pass alone, after a change of the list.
  virtual void PassOneMessage() = 0;

  // The list keeps its own copies of the lines.
  virtual void ClearLines() = 0;
  virtual void AddLine(const char* line) = 0;
  virtual void InsertLine(int index, const char* line) = 0;
  virtual void DeleteLine(int index) = 0;

  // The width of a line as the list measures it (pixels in a window,
  // characters on a terminal), tabs not expanded.
  virtual int MeasureLine(const char* line, int length) = 0;
  virtual int HorizontalExtent() = 0;
  virtual void SetHorizontalExtent(int extent) = 0;
};

#endif
