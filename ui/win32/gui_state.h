// The values the dialogs share with each other and with the search worker.
#ifndef TARNWICK_UI_WIN32_GUI_STATE_H
#define TARNWICK_UI_WIN32_GUI_STATE_H

#include <windows.h>

struct ProcessState;

// The program's one state; it lives until the process ends (a worker of a
// later search may still run while the process exits, so it is never freed).
ProcessState& AppState();

extern HCURSOR HandCursor;
extern HCURSOR AltHandCursor;
extern HCURSOR MainSavedCursor;
extern HCURSOR AboutSavedCursor;
extern HWND StatusBar;
extern HWND ResultListBox;
extern RECT LinkHotRect;

// Takes at most one pending message of the calling thread's queue and, if
// there was one, translates and dispatches it.
void PassOneMessage();

// Whether the pointer lies on the window of control id in dialog (left and
// top edges inside, right and bottom outside).
bool PointerOnControl(HWND dialog, int id);

#endif
