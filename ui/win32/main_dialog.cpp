#include "ui/win32/main_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "base/format.h"
#include "base/version.h"
#include "config/settings.h"
#include "platform/instance.h"
#include "platform/profile.h"
#include "ui/dialog_texts.h"
#include "ui/win32/dialog_layout.h"
#include "ui/win32/dialog_view.h"
#include "ui/win32/gui_state.h"
#include "ui/win32/resource_ids.h"
#include "usage/backup.h"
#include "usage/candidates.h"
#include "usage/outcome_texts.h"
#include "usage/process_state.h"
#include "usage/restore.h"
#include "usage/search_run.h"

namespace {

constexpr int kTextBuffer = 300;
// How many names a message box lists; the log has all of them.
constexpr std::size_t kNamesShown = 10;

DialogView gView;
DialogLayout gLayout;

// Formats the template that a control holds with the given arguments.
template <typename... Args>
void FormatControlText(HWND dialog, int id, Args... args) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return;
  char format[kTextBuffer] = "";
  GetWindowTextA(control, format, kTextBuffer);
  SetWindowTextA(control, FormatString(format, args...).c_str());
}

void RefreshBackupCount(HWND dialog) {
  ProcessState& state = AppState();
  const int backedUp = CountLibraryFiles(state, state.settings.BackupDir);
  SetDlgItemTextA(dialog, IDC_BACKUP_COUNT,
                  FormatString(TARNWICK_BACKUP_COUNT_TEMPLATE, backedUp,
                             static_cast<const char*>(state.settings.BackupDir)).c_str());
}

// The restore command of the window menu: asked first, the result shown.
void RestoreFromMenu(HWND dialog) {
  ProcessState& state = AppState();
  if (state.SearchRunning != 0) return;
  if (MessageBoxA(dialog, "Put every backed-up library back into the folder it came from?", "Question",
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  const RestoreOutcome outcome = RestoreBackedUpLibraries(state, {});
  RefreshBackupCount(dialog);
  std::string text = RestoreOutcomeText(outcome, kNamesShown);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  MessageBoxA(dialog, text.c_str(), "Restore",
              MB_OK | (outcome.kept.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void Backup(HWND dialog) {
  if (AppState().SearchRunning != 0) return;
  const BackupOutcome outcome = BackupFoundLibraries(AppState());
  EnableWindow(GetDlgItem(dialog, IDC_BACKUP), FALSE);
  const std::string stayed = BackupOutcomeText(outcome, kNamesShown);
  if (stayed.empty()) return;
  const std::string text = std::to_string(outcome.moved) + " libraries moved into the backup folder.\n\n" + stayed +
                           "\nThe log names every library.";
  MessageBoxA(dialog, text.c_str(), "Backup", MB_OK | MB_ICONINFORMATION);
}

void InitDialog(HWND dialog) {
  ProcessState& state = AppState();
  char banner[kTextBuffer] = "";
  GetDlgItemTextA(dialog, IDC_BANNER, banner, kTextBuffer);
  const std::string marker = PublishRunningInstance(dialog, banner);
  ProfileWriteString(kCurrentProcessSection, kClassNameKey, marker.c_str(), kSettingsFile);

  // The size grip shows that the window can be resized from its corner.
  StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "initializing...", dialog, IDC_STATUS_BAR);
  ResultListBox = GetDlgItem(dialog, IDC_RESULT_LIST);
  state.view = &gView;
  if (ResultListBox != nullptr) {
    INT tabStops[3] = {100, 120, 160};
    SendMessageA(ResultListBox, LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(tabStops));
  }
  if (state.settings.Recurse != 0) CheckDlgButton(dialog, IDC_RECURSE, BST_CHECKED);
  HMENU windowMenu = GetSystemMenu(dialog, FALSE);
  if (windowMenu != nullptr) {
    AppendMenuA(windowMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(windowMenu, MF_STRING, IDM_RESTORE, "Restore backed-up libraries...");
  }

  FormatControlText(dialog, IDC_BANNER, TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR, TARNWICK_RELEASE_TAG,
                    kMakerName, TARNWICK_RELEASE_YEAR);
  const int backedUp = CountLibraryFiles(state, state.settings.BackupDir);
  FormatControlText(dialog, IDC_BACKUP_COUNT, backedUp, static_cast<const char*>(state.settings.BackupDir));

  gView.ShowStatus("done");
  gLayout.Capture(dialog, StatusBar);
  MainSavedCursor = GetCursor();
  SetFocus(GetDlgItem(dialog, IDC_SEARCH));
}

void EnableCommands(HWND dialog, bool search, bool backup) {
  EnableWindow(GetDlgItem(dialog, IDC_SEARCH), search ? TRUE : FALSE);
  EnableWindow(GetDlgItem(dialog, IDC_BACKUP), backup ? TRUE : FALSE);
}

void Search(HWND dialog) {
  ProcessState& state = AppState();
  // No second search, and no backup, beside a running worker: the buttons
  // are off while it runs.
  if (state.SearchRunning != 0) return;
  state.settings.Recurse = IsDlgButtonChecked(dialog, IDC_RECURSE) == BST_CHECKED ? 1 : 0;
  CollectAndListCandidates(state);
  // The fresh list has no search behind it: a backup now would move every
  // candidate, used or not. Only the end of a search enables it again.
  EnableWindow(GetDlgItem(dialog, IDC_BACKUP), FALSE);
  if (MessageBoxA(dialog, TARNWICK_SEARCH_QUESTION, "Question",
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  state.SearchRunning = 1;
  EnableCommands(dialog, false, false);
  HANDLE worker = CreateThread(nullptr, 0, SearchWorker, dialog, 0, nullptr);
  if (worker == nullptr) {
    state.SearchRunning = 0;
    EnableCommands(dialog, true, false);
    return;
  }
  CloseHandle(worker);
}

void Exit(HWND dialog) {
  const bool completed = AppState().SearchCompleted != 0;
  if (!completed) {
    MessageBoxA(dialog, "Process was cancelled", "Warning", MB_OK | MB_ICONWARNING | MB_TOPMOST);
  }
  EndDialog(dialog, 0);
  PostQuitMessage(0);
  PassOneMessage();
  // Before the first finished search the process ends here: a running
  // worker with it, and nothing is written back.
  if (!completed) TerminateProcess(GetCurrentProcess(), 0);
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog);
      return FALSE;
    case WM_COMMAND:
      switch (wParam) {
        case IDC_EXIT:
          Exit(dialog);
          break;
        case IDC_SEARCH:
          Search(dialog);
          break;
        case IDC_BACKUP:
          Backup(dialog);
          break;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      // The low four bits of a window-menu command are the system's own.
      if ((wParam & 0xFFF0) != IDM_RESTORE) return FALSE;
      RestoreFromMenu(dialog);
      return TRUE;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        if (AppState().SearchRunning == 1) ShowWindow(dialog, SW_HIDE);
      } else {
        gLayout.Apply(dialog);
      }
      return FALSE;
    case WM_GETMINMAXINFO:
      gLayout.Limit(reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
    case WM_MOUSEMOVE:
      if (PointerOnControl(dialog, IDC_LOGO)) {
        if (GetCursor() != HandCursor) SetCursor(HandCursor);
      } else if (GetCursor() == HandCursor) {
        SetCursor(MainSavedCursor);
      }
      return FALSE;
    case WM_SETCURSOR:
      return GetCursor() != MainSavedCursor ? TRUE : FALSE;
    case WM_LBUTTONDOWN:
      if (PointerOnControl(dialog, IDC_LOGO)) {
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
      }
      return FALSE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return FALSE;
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return HandleMessage(dialog, message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}

DWORD WINAPI SearchWorker(LPVOID parameter) {
  HWND dialog = static_cast<HWND>(parameter);
  ProcessState& state = AppState();
  try {
    RunSearchPasses(state);
  } catch (...) {
    // Out of memory inside the walk: the search ends here, not completed.
  }
  EnableCommands(dialog, true, state.CandidateList.GetCount() >= 1);
  gView.ShowStatus(SearchDoneText(state).c_str());
  state.SearchRunning = 0;
  ShowWindow(dialog, SW_SHOW);
  ShowWindow(dialog, SW_RESTORE);
  SetForegroundWindow(dialog);
  return 0;
}
