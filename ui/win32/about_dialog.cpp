#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "ui/win32/gui_state.h"
#include "ui/win32/main_dialog.h"
#include "ui/win32/resource_ids.h"

namespace {

// The maker's web page; at most 56 characters, no '%' (it becomes part of a
// format below).
constexpr const char* kHomePage = "http://www.pelmorin.example";

constexpr int kLinkTextBuffer = 100;

// Whether the pointer lies on the underlined part of the link line.
bool PointerOnLink(HWND dialog, const AboutDialog& about) {
  HWND link = GetDlgItem(dialog, IDC_LINK);
  if (link == nullptr) return false;
  POINT pointer;
  RECT area, hot = about.LinkHotRect;
  GetCursorPos(&pointer);
  GetWindowRect(link, &area);
  OffsetRect(&hot, area.left, area.top);
  return PtInRect(&hot, pointer) != FALSE;
}

void Open(HWND dialog, const char* address) {
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(dialog, "open", address, nullptr, nullptr, SW_SHOWMAXIMIZED));
  if (result > 32) {
    EndDialog(dialog, 0);
  } else {
    MessageBoxA(dialog, "Error Starting your html-browser", "Error", MB_OK | MB_ICONERROR);
  }
}

INT_PTR HandleMessage(HWND dialog, AboutDialog& about, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      return GetCursor() != about.AboutSavedCursor ? TRUE : FALSE;
    case WM_DRAWITEM:
      if (wParam == IDC_LINK) {
        char text[kLinkTextBuffer] = "";
        GetWindowTextA(GetDlgItem(dialog, IDC_LINK), text, kLinkTextBuffer);
        DrawLinkText(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), text, &about.LinkHotRect);
      }
      return FALSE;
    case WM_COMMAND:
      EndDialog(dialog, 0);
      return FALSE;
    case WM_MOUSEMOVE: {
      HCURSOR wanted = wParam != 0 ? about.AltHandCursor : about.HandCursor;
      if (PointerOnLink(dialog, about)) {
        if (GetCursor() != wanted) SetCursor(wanted);
      } else if (GetCursor() == about.HandCursor) {
        SetCursor(about.AboutSavedCursor);
      }
      return FALSE;
    }
    case WM_LBUTTONDOWN:
      if (PointerOnLink(dialog, about)) {
        Open(dialog, LinkTarget(0));
      } else if (GetCursor() == about.AltHandCursor && PointerOnControl(dialog, IDC_LOGO)) {
        Open(dialog, LinkTarget(1));
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      auto* about = reinterpret_cast<AboutDialog*>(lParam);
      SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(about));
      if (about != nullptr) about->AboutSavedCursor = GetCursor();
      return TRUE;
    }
    auto* about = reinterpret_cast<AboutDialog*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (about == nullptr) return FALSE;
    return HandleMessage(dialog, *about, message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}

void DrawLinkText(const DRAWITEMSTRUCT* item, char* text, RECT* hotRect) {
  HDC dc = item->hDC;
  int x = item->rcItem.left;
  const int y = item->rcItem.top;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));

  char* open = std::strchr(text, '<');
  if (open == nullptr || (open > text && open[-1] == '\\')) {
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
    return;
  }
  *open = 0;
  const int beforeLength = static_cast<int>(std::strlen(text));
  TextOutA(dc, x, y, text, beforeLength);
  SIZE size;
  GetTextExtentPoint32A(dc, text, beforeLength, &size);
  x += size.cx;

  char* hot = open + 1;
  char* rest = hot;
  if (char* close = std::strchr(hot, '>')) {
    hotRect->left = x;
    hotRect->top = y;
    SetTextColor(dc, RGB(0, 0, 255));
    *close = 0;
    const int hotLength = static_cast<int>(std::strlen(hot));
    TextOutA(dc, x, y, hot, hotLength);
    GetTextExtentPoint32A(dc, hot, hotLength, &size);
    hotRect->bottom = y + size.cy;
    MoveToEx(dc, x, y + size.cy, nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(dc, pen);
    hotRect->right = x + size.cx;
    LineTo(dc, x + size.cx, y + size.cy);
    SelectObject(dc, previous);
    DeleteObject(pen);
    x += size.cx;
    rest = close + 1;
  }
  if (*rest != 0) {
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, x, y, rest, static_cast<int>(std::strlen(rest)));
  }
}

const char* LinkTarget(int kind) {
  if (kind == 0) return kHomePage;
  static char address[80];
  char format[76];
  std::snprintf(format, sizeof format, "%s%s", kHomePage, "/hidden/index%2d.%s");
  std::snprintf(address, sizeof address, format, 13, "html");
  return address;
}
