#include "ui/win32/main_dialog.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

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

// Formats the template that a control holds with the given arguments.
template <typename... Args>
void FormatControlText(HWND dialog, int id, Args... args) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return;
  char format[kTextBuffer] = "";
  GetWindowTextA(control, format, kTextBuffer);
  SetWindowTextA(control, FormatString(format, args...).c_str());
}

void RefreshBackupCount(HWND dialog, ProcessState& state) {
  const int backedUp = CountLibraryFiles(state, state.settings.BackupDir);
  SetDlgItemTextA(dialog, IDC_BACKUP_COUNT,
                  FormatString(TARNWICK_BACKUP_COUNT_TEMPLATE, backedUp,
                             static_cast<const char*>(state.settings.BackupDir)).c_str());
}

// The restore command of the window menu: asked first, the result shown.
void RestoreFromMenu(HWND dialog, ProcessState& state) {
  if (state.SearchRunning != 0) return;
  if (MessageBoxA(dialog, "Put every backed-up library back into the folder it came from?", "Question",
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  const RestoreOutcome outcome = RestoreBackedUpLibraries(state, {});
  RefreshBackupCount(dialog, state);
  std::string text = RestoreOutcomeText(outcome, kNamesShown);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  MessageBoxA(dialog, text.c_str(), "Restore",
              MB_OK | (outcome.kept.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void Backup(HWND dialog, ProcessState& state) {
  if (state.SearchRunning != 0) return;
  const BackupOutcome outcome = BackupFoundLibraries(state);
  EnableWindow(GetDlgItem(dialog, IDC_BACKUP), FALSE);
  const std::string stayed = BackupOutcomeText(outcome, kNamesShown);
  if (stayed.empty()) return;
  const std::string text = std::to_string(outcome.moved) + " libraries moved into the backup folder.\n\n" + stayed +
                           "\nThe log names every library.";
  MessageBoxA(dialog, text.c_str(), "Backup", MB_OK | MB_ICONINFORMATION);
}

void InitDialog(HWND dialog, MainDialog& d) {
  ProcessState& state = d.state;
  d.window = dialog;
  char banner[kTextBuffer] = "";
  GetDlgItemTextA(dialog, IDC_BANNER, banner, kTextBuffer);
  const std::string marker = PublishRunningInstance(dialog, banner);
  ProfileWriteString(kCurrentProcessSection, kClassNameKey, marker.c_str(), kSettingsFile);

  // The size grip shows that the window can be resized from its corner.
  d.StatusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "initializing...", dialog, IDC_STATUS_BAR);
  d.ResultListBox = GetDlgItem(dialog, IDC_RESULT_LIST);
  state.view = &d.view;
  if (d.ResultListBox != nullptr) {
    INT tabStops[3] = {100, 120, 160};
    SendMessageA(d.ResultListBox, LB_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(tabStops));
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

  d.view.ShowStatus("done");
  d.layout.Capture(dialog, d.StatusBar);
  d.MainSavedCursor = GetCursor();
  SetFocus(GetDlgItem(dialog, IDC_SEARCH));
}

void EnableCommands(HWND dialog, bool search, bool backup) {
  EnableWindow(GetDlgItem(dialog, IDC_SEARCH), search ? TRUE : FALSE);
  EnableWindow(GetDlgItem(dialog, IDC_BACKUP), backup ? TRUE : FALSE);
}

void Search(HWND dialog, const std::shared_ptr<MainDialog>& owner) {
  ProcessState& state = owner->state;
  // No second search, and no backup, beside a running worker: the buttons
  // are off while it runs.
  if (state.SearchRunning != 0) return;
  state.settings.Recurse = IsDlgButtonChecked(dialog, IDC_RECURSE) == BST_CHECKED ? 1 : 0;
  {
    // The lines are added on this thread, each with a message let through;
    // the list is drawn once they are all there.
    const ListRedrawPause pause(owner->ResultListBox);
    CollectAndListCandidates(state);
  }
  // The fresh list has no search behind it: a backup now would move every
  // candidate, used or not. Only the end of a search enables it again.
  EnableWindow(GetDlgItem(dialog, IDC_BACKUP), FALSE);
  // The registry is read while the user decides (under Wine it takes longer
  // than the walk of the drives); an answer No stops the reading again.
  std::unique_ptr<RegistryReading> registry = StartRegistryReading(state);
  if (MessageBoxA(dialog, TARNWICK_SEARCH_QUESTION, "Question",
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  // The worker's own hold on the dialog's values, taken before anything
  // changes (it may fail for want of memory).
  auto workerHold = std::make_unique<std::shared_ptr<MainDialog>>(owner);
  state.SearchRunning = 1;
  owner->registryAhead = std::move(registry);
  EnableCommands(dialog, false, false);
  owner->view.WorkerStarting();
  HANDLE worker = CreateThread(nullptr, 0, SearchWorker, workerHold.get(), 0, nullptr);
  if (worker == nullptr) {
    owner->registryAhead.reset();
    owner->view.WorkerEnded();
    state.SearchRunning = 0;
    EnableCommands(dialog, true, false);
    return;
  }
  workerHold.release();
  CloseHandle(worker);
}

// The end of a search, once its worker is done: the commands, the closing
// status text, the window shown again (it hides while minimised during the
// search) and brought to the front.
void ShowSearchEnded(HWND dialog, MainDialog& d) {
  ProcessState& state = d.state;
  d.view.WorkerEnded();
  EnableCommands(dialog, true, state.CandidateList.GetCount() >= 1);
  d.view.SetStatusText(SearchDoneText(state).c_str());
  state.SearchRunning = 0;
  ShowWindow(dialog, SW_SHOW);
  ShowWindow(dialog, SW_RESTORE);
  SetForegroundWindow(dialog);
}

void Exit(HWND dialog, const ProcessState& state) {
  const bool completed = state.SearchCompleted != 0;
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

INT_PTR HandleMessage(HWND dialog, const std::shared_ptr<MainDialog>& owner, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  MainDialog& d = *owner;
  switch (message) {
    case WM_COMMAND:
      switch (wParam) {
        case IDC_EXIT:
          Exit(dialog, d.state);
          break;
        case IDC_SEARCH:
          Search(dialog, owner);
          break;
        case IDC_BACKUP:
          Backup(dialog, d.state);
          break;
      }
      return FALSE;
    case kSearchEndedMessage:
      ShowSearchEnded(dialog, d);
      return TRUE;
    case WM_TIMER:
      if (wParam == DialogView::kStatusTimer) d.view.ShowPendingStatus();
      return FALSE;
    case WM_SYSCOMMAND:
      // The low four bits of a window-menu command are the system's own.
      if ((wParam & 0xFFF0) != IDM_RESTORE) return FALSE;
      RestoreFromMenu(dialog, d.state);
      return TRUE;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        if (d.state.SearchRunning == 1) ShowWindow(dialog, SW_HIDE);
      } else {
        d.layout.Apply(dialog);
      }
      return FALSE;
    case WM_GETMINMAXINFO:
      d.layout.Limit(reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
    case WM_MOUSEMOVE:
      if (PointerOnControl(dialog, IDC_LOGO)) {
        if (GetCursor() != d.HandCursor) SetCursor(d.HandCursor);
      } else if (GetCursor() == d.HandCursor) {
        SetCursor(d.MainSavedCursor);
      }
      return FALSE;
    case WM_SETCURSOR:
      return GetCursor() != d.MainSavedCursor ? TRUE : FALSE;
    case WM_LBUTTONDOWN:
      if (PointerOnControl(dialog, IDC_LOGO)) {
        AboutDialog about;
        about.HandCursor = d.HandCursor;
        about.AltHandCursor = d.AltHandCursor;
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc,
                        reinterpret_cast<LPARAM>(&about));
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
    using Hold = std::shared_ptr<MainDialog>;
    auto* hold = reinterpret_cast<Hold*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (message == WM_INITDIALOG) {
      const auto* given = reinterpret_cast<const Hold*>(lParam);
      if (given == nullptr || *given == nullptr || hold != nullptr) return FALSE;
      hold = new Hold(*given);
      SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hold));
      InitDialog(dialog, **hold);
      return FALSE;
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
      delete hold;
      return FALSE;
    }
    if (hold == nullptr) return FALSE;
    // A copy: the dialog may be destroyed while this message is handled.
    const Hold owner = *hold;
    return HandleMessage(dialog, owner, message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}

DWORD WINAPI SearchWorker(LPVOID parameter) {
  const std::unique_ptr<std::shared_ptr<MainDialog>> hold(static_cast<std::shared_ptr<MainDialog>*>(parameter));
  MainDialog& d = **hold;
  try {
    RunSearchPasses(d.state, std::move(d.registryAhead));
  } catch (...) {
    // Out of memory inside the walk: the search ends here, not completed.
  }
  // The interface thread shows the end; a dialog already gone takes nothing.
  PostMessageA(d.window, kSearchEndedMessage, 0, 0);
  return 0;
}
