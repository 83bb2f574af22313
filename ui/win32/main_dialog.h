#ifndef TARNWICK_UI_WIN32_MAIN_DIALOG_H
#define TARNWICK_UI_WIN32_MAIN_DIALOG_H

#include <windows.h>

// The message a search worker posts to the main dialog once its passes have
// ended; the interface thread then shows the end of the search.
constexpr UINT kSearchEndedMessage = WM_APP + 1;

// The dialog procedure of the main dialog. The creation parameter is a
// std::shared_ptr<MainDialog>* (ui/win32/gui_state.h): the window keeps a
// copy of it until it is destroyed. Without one the dialog does nothing.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The thread routine of one search; its parameter is a std::shared_ptr<MainDialog>
// made with new, which the routine deletes.
DWORD WINAPI SearchWorker(LPVOID dialog);

// The About box, opened from the main dialog's logo; its creation parameter
// is an AboutDialog* (ui/win32/gui_state.h) that outlives the box.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Draws text as one line of link text into the item's rectangle: the part
// between '<' and '>' in blue and underlined, and records where that part
// lies in hot. The brackets are overwritten in text.
void DrawLinkText(const DRAWITEMSTRUCT* item, char* text, RECT* hot);

// Kind 0: the home page; any other kind: the hidden page below it.
const char* LinkTarget(int kind);

#endif
