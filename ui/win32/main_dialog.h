#ifndef TARNWICK_UI_WIN32_MAIN_DIALOG_H
#define TARNWICK_UI_WIN32_MAIN_DIALOG_H

#include <windows.h>

// The dialog procedure of the main dialog.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The thread routine of one search; its parameter is the main dialog.
DWORD WINAPI SearchWorker(LPVOID dialog);

// The About box, opened from the main dialog's logo.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Draws text as one line of link text into the item's rectangle: the part
// between '<' and '>' in blue and underlined, and records LinkHotRect. The
// brackets are overwritten in text.
void DrawLinkText(const DRAWITEMSTRUCT* item, char* text);

// Kind 0: the home page; any other kind: the hidden page below it.
const char* LinkTarget(int kind);

#endif
