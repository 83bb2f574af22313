// The main dialog resized: it opens at the size and layout of its template,
// can then be made larger (or maximised) but never smaller than that. The
// list box takes up every pixel gained, the status bar runs along the
// bottom, and the buttons, the check box and the logo keep their distance
// from the bottom edge. The banner and the backup-count line stay as they are.
#ifndef TARNWICK_UI_WIN32_DIALOG_LAYOUT_H
#define TARNWICK_UI_WIN32_DIALOG_LAYOUT_H

#include <windows.h>

#include <vector>

class DialogLayout {
 public:
  // Notes the window's size and each control's place, once the dialog is open.
  void Capture(HWND dialog, HWND statusBar);
  // Places the controls for the dialog's present client size.
  void Apply(HWND dialog) const;
  // The smallest size the window may be dragged to: the size it opened at.
  void Limit(MINMAXINFO* info) const;

 private:
  struct Placed {
    int id;
    RECT rect;  // in client coordinates, as opened
  };
  bool captured_ = false;
  SIZE window_ = {0, 0};
  SIZE client_ = {0, 0};
  HWND statusBar_ = nullptr;
  std::vector<Placed> followBottom_;
  Placed list_ = {0, {0, 0, 0, 0}};
};

#endif
