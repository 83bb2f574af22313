// The dialog procedures in this very thread, so that the cursor they set is
// the one GetCursor reports: the hands over the logo and the link, and the
// drawing of the link line.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "tests/support/test_installation.h"
#include "ui/win32/gui_state.h"
#include "ui/win32/main_dialog.h"
#include "ui/win32/resource_ids.h"
#include "usage/process_state.h"
#include "usage/search_run.h"

namespace {

// Handles this thread's messages until condition holds or timeoutMs have passed.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(5);
  }
}

std::string StatusText(HWND dialog) {
  char text[100] = "";
  GetWindowTextA(GetDlgItem(dialog, IDC_STATUS_BAR), text, sizeof text);
  return text;
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Puts the pointer at a screen position and tells the dialog, with the key
// state keys, as a mouse move there would.
void MoveTo(HWND dialog, POINT at, WPARAM keys = 0) {
  SetCursorPos(at.x, at.y);
  POINT client = at;
  ScreenToClient(dialog, &client);
  SendMessageA(dialog, WM_MOUSEMOVE, keys, MAKELPARAM(client.x, client.y));
}

class DialogProcsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HandCursor = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    AltHandCursor = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_ALT_HAND_CURSOR));
    ASSERT_NE(HandCursor, nullptr);
    ASSERT_NE(AltHandCursor, nullptr);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  }

  // A main dialog of its own program state, open in this thread.
  HWND OpenMain(std::shared_ptr<MainDialog>* owner) {
    *owner = std::make_shared<MainDialog>(std::make_shared<ProcessState>(), HandCursor, AltHandCursor);
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc,
                              reinterpret_cast<LPARAM>(owner));
  }

  testbuild::TestInstallation installation_;
  HCURSOR HandCursor = nullptr;
  HCURSOR AltHandCursor = nullptr;
};

TEST_F(DialogProcsTest, AboutLinkShowsTheHandsOnlyOverTheUnderlinedWord) {
  AboutDialog state;
  state.HandCursor = HandCursor;
  state.AltHandCursor = AltHandCursor;
  HWND about = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc,
                                  reinterpret_cast<LPARAM>(&state));
  ASSERT_NE(about, nullptr);
  ShowWindow(about, SW_SHOW);
  UpdateWindow(about);
  Pump();
  const RECT& LinkHotRect = state.LinkHotRect;
  const HCURSOR& AboutSavedCursor = state.AboutSavedCursor;
  ASSERT_GT(LinkHotRect.right, LinkHotRect.left) << "drawing the link line records where the word lies";
  RECT link;
  GetWindowRect(GetDlgItem(about, IDC_LINK), &link);
  const POINT onWord = {link.left + (LinkHotRect.left + LinkHotRect.right) / 2, link.top + LinkHotRect.top + 2};
  const POINT before = {link.left + 2, onWord.y};
  MoveTo(about, onWord);
  EXPECT_EQ(GetCursor(), HandCursor);
  EXPECT_EQ(AboutDialogProc(about, WM_SETCURSOR, reinterpret_cast<WPARAM>(about), 0), TRUE)
      << "handled, so the system does not put its cursor back";
  MoveTo(about, before);
  EXPECT_EQ(GetCursor(), AboutSavedCursor) << "off the word the cursor of before comes back";
  MoveTo(about, onWord, MK_SHIFT);
  EXPECT_EQ(GetCursor(), AltHandCursor);
  MoveTo(about, before);
  EXPECT_EQ(GetCursor(), AltHandCursor) << "the second hand stays off the word";
  MoveTo(about, onWord);
  EXPECT_EQ(GetCursor(), HandCursor);
  DestroyWindow(about);
}

TEST_F(DialogProcsTest, MainDialogLogoShowsTheHand) {
  std::shared_ptr<MainDialog> owner;
  HWND dialog = OpenMain(&owner);
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_SHOW);
  Pump();
  RECT logo;
  GetWindowRect(GetDlgItem(dialog, IDC_LOGO), &logo);
  MoveTo(dialog, {logo.left - 4, logo.top + 2});
  const HCURSOR saved = owner->MainSavedCursor;
  EXPECT_EQ(GetCursor(), saved);
  MoveTo(dialog, {logo.left + 2, logo.top + 2});
  EXPECT_EQ(GetCursor(), HandCursor);
  MoveTo(dialog, {logo.right, logo.top + 2});  // the right edge lies outside
  EXPECT_EQ(GetCursor(), saved);
  DestroyWindow(dialog);
}

TEST_F(DialogProcsTest, WindowMenuHoldsTheRestoreCommand) {
  std::shared_ptr<MainDialog> owner;
  HWND dialog = OpenMain(&owner);
  ASSERT_NE(dialog, nullptr);
  char item[100] = "";
  GetMenuStringA(GetSystemMenu(dialog, FALSE), IDM_RESTORE, item, sizeof item, MF_BYCOMMAND);
  EXPECT_STREQ(item, "Restore backed-up libraries...");
  DestroyWindow(dialog);
}

// Each main dialog keeps its own status bar, list and program state: a
// second one open beside the first changes nothing of the first.
TEST_F(DialogProcsTest, TwoMainDialogsKeepTheirOwnWindowsAndState) {
  std::shared_ptr<MainDialog> first, second;
  HWND one = OpenMain(&first);
  HWND two = OpenMain(&second);
  ASSERT_NE(one, nullptr);
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(first->state.view, &first->view);
  EXPECT_EQ(second->state.view, &second->view);
  first->view.ShowStatus("first");
  second->view.AddLine("second\t32\t?");
  char text[40] = "";
  GetWindowTextA(GetDlgItem(one, IDC_STATUS_BAR), text, sizeof text);
  EXPECT_STREQ(text, "first");
  GetWindowTextA(GetDlgItem(two, IDC_STATUS_BAR), text, sizeof text);
  EXPECT_STREQ(text, "done");
  EXPECT_EQ(SendDlgItemMessageA(one, IDC_RESULT_LIST, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendDlgItemMessageA(two, IDC_RESULT_LIST, LB_GETCOUNT, 0, 0), 1);
  DestroyWindow(two);
  EXPECT_EQ(second.use_count(), 1) << "the closed dialog let go of its values";
  second.reset();
  first->view.ShowStatus("still first");
  GetWindowTextA(GetDlgItem(one, IDC_STATUS_BAR), text, sizeof text);
  EXPECT_STREQ(text, "still first");
  DestroyWindow(one);
}

struct StatusJob {
  DialogView* view;
  int count;
  const char* last;
  bool changeList;
};

DWORD WINAPI LeaveTexts(LPVOID parameter) {
  const auto* job = static_cast<const StatusJob*>(parameter);
  for (int i = 0; i < job->count; ++i) job->view->ShowStatus(("Analyzing " + std::to_string(i)).c_str());
  job->view->ShowStatus(job->last);
  if (job->changeList) {
    // As a search marks a candidate used: its line replaced, the list
    // widened, and widened again by a longer line.
    job->view->DeleteLine(1);
    job->view->InsertLine(1, "b\t32\tC:\\user.exe(32-bit exe or dll)");
    job->view->SetHorizontalExtent(job->view->HorizontalExtent() + 120);
    job->view->DeleteLine(0);
    job->view->SetHorizontalExtent(job->view->HorizontalExtent() + 80);
  }
  return 0;
}

// The status texts and list changes of a search worker: it never waits for
// the window; the last text it leaves shows within a few timer periods
// while it stays on its file; the closing text, once shown, is never covered
// by an older one; and the list ends with every change the worker made.
TEST_F(DialogProcsTest, WorkerStatusShowsTheLatestTextAndEndsWithTheClosingOne) {
  std::shared_ptr<MainDialog> owner;
  HWND dialog = OpenMain(&owner);
  ASSERT_NE(dialog, nullptr);
  Pump();
  owner->view.AddLine("a\t32\t?");
  owner->view.AddLine("b\t32\t?");
  const auto extent = SendDlgItemMessageA(dialog, IDC_RESULT_LIST, LB_GETHORIZONTALEXTENT, 0, 0);
  owner->view.WorkerStarting();
  // A worker thread leaves count texts and then last; true once it has ended.
  const auto leave = [&](int count, const char* last, bool changeList = false) {
    StatusJob job{&owner->view, count, last, changeList};
    HANDLE worker = CreateThread(nullptr, 0, LeaveTexts, &job, 0, nullptr);
    if (worker == nullptr) return false;
    // No message handled meanwhile: a worker that waited for the window would not end.
    const bool ended = WaitForSingleObject(worker, 10000) == WAIT_OBJECT_0;
    if (!ended) TerminateThread(worker, 1);
    CloseHandle(worker);
    return ended;
  };
  ASSERT_TRUE(leave(2000, "Analyzing C:\\stays\\here.exe"));
  EXPECT_EQ(StatusText(dialog), "done") << "shown by the interface thread only";
  const DWORD start = GetTickCount();
  EXPECT_TRUE(PumpUntil([&] { return StatusText(dialog) == "Analyzing C:\\stays\\here.exe"; }, 2000));
  EXPECT_LE(GetTickCount() - start, 1000u);

  ASSERT_TRUE(leave(50, "Analyzing C:\\older.exe", true));
  owner->state.SearchRunning = 1;
  PostMessageA(dialog, kSearchEndedMessage, 0, 0);
  const std::string closing = SearchDoneText(owner->state);
  EXPECT_TRUE(PumpUntil([&] { return StatusText(dialog) == closing; }, 2000));
  PumpUntil([] { return false; }, 5 * DialogView::kStatusPeriodMs);
  EXPECT_EQ(StatusText(dialog), closing);
  EXPECT_EQ(owner->state.SearchRunning, 0);
  ASSERT_EQ(SendDlgItemMessageA(dialog, IDC_RESULT_LIST, LB_GETCOUNT, 0, 0), 1);
  char line[100] = "";
  SendDlgItemMessageA(dialog, IDC_RESULT_LIST, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
  EXPECT_STREQ(line, "b\t32\tC:\\user.exe(32-bit exe or dll)");
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_RESULT_LIST, LB_GETHORIZONTALEXTENT, 0, 0), extent + 200)
      << "the last extent the worker set";
  DestroyWindow(dialog);
}

struct MeasureJob {
  DialogView* view;
  const char* line;
  int width;
};

DWORD WINAPI MeasureOnWorker(LPVOID parameter) {
  auto* job = static_cast<MeasureJob*>(parameter);
  job->width = job->view->MeasureLine(job->line, static_cast<int>(std::strlen(job->line)));
  return 0;
}

// The worker measures in a context of its own; the widths must be those the
// list box's context gives, as the interface thread measures them.
TEST_F(DialogProcsTest, WorkerMeasuresLinesAsTheListBoxContextDoes) {
  std::shared_ptr<MainDialog> owner;
  HWND dialog = OpenMain(&owner);
  ASSERT_NE(dialog, nullptr);
  const char* line = "wide.dll\t32\tC:\\Program Files\\Some Suite\\bin\\user.exe(32-bit exe or dll)";
  const int onInterface = owner->view.MeasureLine(line, static_cast<int>(std::strlen(line)));
  ASSERT_GT(onInterface, 0);
  owner->view.WorkerStarting();
  MeasureJob job{&owner->view, line, -1};
  HANDLE worker = CreateThread(nullptr, 0, MeasureOnWorker, &job, 0, nullptr);
  ASSERT_NE(worker, nullptr);
  ASSERT_EQ(WaitForSingleObject(worker, 10000), WAIT_OBJECT_0);
  CloseHandle(worker);
  owner->view.WorkerEnded();
  EXPECT_EQ(job.width, onInterface);
  DestroyWindow(dialog);
}

TEST(DrawLinkTextTest, BracketsMarkTheWordAndABackslashEscapesThem) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 400, 40);
  SelectObject(dc, bitmap);
  DRAWITEMSTRUCT item = {};
  item.hDC = dc;
  item.rcItem = {10, 5, 400, 40};

  RECT LinkHotRect = {0, 0, 0, 0};
  char escaped[] = "plain \\<text> here";
  DrawLinkText(&item, escaped, &LinkHotRect);
  EXPECT_STREQ(escaped, "plain \\<text> here") << "drawn unchanged";
  EXPECT_EQ(LinkHotRect.right, 0);

  char open[] = "before <after";
  DrawLinkText(&item, open, &LinkHotRect);
  EXPECT_EQ(LinkHotRect.right, 0) << "no '>': nothing underlined";

  char link[] = "Other utilities can be found on my <homepage>.";
  DrawLinkText(&item, link, &LinkHotRect);
  SIZE before, word;
  GetTextExtentPoint32A(dc, "Other utilities can be found on my ", 35, &before);
  GetTextExtentPoint32A(dc, "homepage", 8, &word);
  EXPECT_EQ(LinkHotRect.left, 10 + before.cx);
  EXPECT_EQ(LinkHotRect.right, 10 + before.cx + word.cx);
  EXPECT_EQ(LinkHotRect.top, 5);
  EXPECT_EQ(LinkHotRect.bottom, 5 + word.cy);
  EXPECT_EQ(link[35], '\0') << "the brackets are overwritten";
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(LinkTargetTest, HomePageAndTheHiddenPageBelowIt) {
  const std::string home = LinkTarget(0);
  EXPECT_EQ(home.rfind("http://", 0), 0u);
  EXPECT_LE(home.size(), 56u);
  EXPECT_EQ(home.find('%'), std::string::npos);
  EXPECT_EQ(std::string(LinkTarget(1)), home + "/hidden/index13.html");
}

}  // namespace
