// What each dialog keeps while it is open, reached through its window
// (GWLP_USERDATA, set from the dialog's creation parameter), and the helpers
// the dialogs share.
#ifndef TARNWICK_UI_WIN32_GUI_STATE_H
#define TARNWICK_UI_WIN32_GUI_STATE_H

#include <windows.h>

#include <memory>

#include "ui/win32/dialog_layout.h"
#include "ui/win32/dialog_view.h"
#include "usage/registry_reading.h"

struct ProcessState;

// The main dialog's own values. The dialog and each search worker it starts
// hold it through a std::shared_ptr, so a worker still running when the
// dialog has closed never reaches freed memory; the program state lives as
// long as the last of them.
struct MainDialog {
  MainDialog(std::shared_ptr<ProcessState> process, HCURSOR hand, HCURSOR altHand);
  ~MainDialog();
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  std::shared_ptr<ProcessState> process;
  ProcessState& state;
  HCURSOR HandCursor;
  HCURSOR AltHandCursor;
  HCURSOR MainSavedCursor = nullptr;
  HWND window = nullptr;
  // The registry reading begun while the search's question was up, for the
  // worker to take over.
  std::unique_ptr<RegistryReading> registryAhead;
  HWND StatusBar = nullptr;
  HWND ResultListBox = nullptr;
  DialogLayout layout;
  DialogView view;
};

// The About box's own values; it lives on the stack of whoever opens the
// (modal) box and is given as its creation parameter.
struct AboutDialog {
  HCURSOR HandCursor = nullptr;
  HCURSOR AltHandCursor = nullptr;
  HCURSOR AboutSavedCursor = nullptr;
  // Where the underlined word of the link line was last drawn, in the link
  // control's coordinates: drawing records it, the pointer tests read it.
  RECT LinkHotRect = {0, 0, 0, 0};
};

// Takes at most one pending message of the calling thread's queue and, if
// there was one, translates and dispatches it.
void PassOneMessage();

// Whether the pointer lies on the window of control id in dialog (left and
// top edges inside, right and bottom outside).
bool PointerOnControl(HWND dialog, int id);

#endif
