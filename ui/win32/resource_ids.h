// Numbers of the resources of tarnwick.exe and of the controls of its two
// dialogs, shared by the resource script and the C++ code. The numbers are
// fixed: the code loads every resource by number, and a starting instance
// reads the banner (control 1005) of one that is already running.
//
// Plain #defines without casts or parentheses, so that windres can read this
// header as well as the compiler.
#ifndef TARNWICK_UI_WIN32_RESOURCE_IDS_H
#define TARNWICK_UI_WIN32_RESOURCE_IDS_H

// Dialogs.
#define IDD_MAIN 101
#define IDD_ABOUT 102

// Pictures: the program icon (32x32 and 16x16), the logo bitmap shown in
// both dialogs, and the two pointing hands (hot spot on the finger tip).
#define IDI_PROGRAM 103
#define IDB_LOGO 106
#define IDC_HAND_CURSOR 107
#define IDC_ALT_HAND_CURSOR 108

// Main dialog. Backup and Exit carry the numbers of IDOK and IDCANCEL, so the
// Escape key and the close box arrive as the Exit command.
#define IDC_BACKUP 1
#define IDC_EXIT 2
#define IDC_SEARCH 1000
#define IDC_RESULT_LIST 1003
#define IDC_BANNER 1005
#define IDC_RECURSE 1006
#define IDC_BACKUP_COUNT 1007
// The status bar is not in the template; the dialog creates it with this id.
#define IDC_STATUS_BAR 1008
// The restore command the dialog adds to its window menu: a window-menu
// command lies below 0xF000 with its low four bits clear.
#define IDM_RESTORE 0x0110

// About box. Its logo has the same number as the main dialog's.
#define IDC_ABOUT_OK 1
#define IDC_LINK 1009
#define IDC_LOGO 1010

// Static texts that the code never addresses.
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

#endif  // TARNWICK_UI_WIN32_RESOURCE_IDS_H
