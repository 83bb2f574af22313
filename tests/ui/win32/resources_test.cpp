// The resources of tarnwick.exe as Windows itself sees them, compiled into
// this test program: both dialog templates control by control, the dialogs
// as the dialog manager builds them, the icon, logo and cursors, and the
// version information.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/win32/resource_ids.h"

namespace {

// The numbers are fixed: the program loads its resources by number, and a
// starting instance reads control 1005 of a running one.
static_assert(IDD_MAIN == 101 && IDD_ABOUT == 102, "dialog numbers");
static_assert(IDI_PROGRAM == 103 && IDB_LOGO == 106, "icon and logo numbers");
static_assert(IDC_HAND_CURSOR == 107 && IDC_ALT_HAND_CURSOR == 108, "cursor numbers");
static_assert(IDC_BACKUP == IDOK && IDC_EXIT == IDCANCEL && IDC_ABOUT_OK == IDOK, "buttons that keys reach");
static_assert(IDC_SEARCH == 1000 && IDC_RESULT_LIST == 1003 && IDC_BANNER == 1005 && IDC_RECURSE == 1006 &&
                  IDC_BACKUP_COUNT == 1007 && IDC_STATUS_BAR == 1008 && IDC_LINK == 1009 && IDC_LOGO == 1010,
              "control numbers");

HMODULE Self() { return GetModuleHandleW(nullptr); }

// The bytes of one resource of this program, or an empty vector.
std::vector<unsigned char> ResourceBytes(LPCWSTR type, int id) {
  HRSRC found = FindResourceW(Self(), MAKEINTRESOURCEW(id), type);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(Self(), found);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(loaded));
  if (bytes == nullptr) return {};
  return std::vector<unsigned char>(bytes, bytes + SizeofResource(Self(), found));
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// ---------------------------------------------------------------------------
// Dialog templates, read as the dialog manager reads them (DLGTEMPLATE or
// DLGTEMPLATEEX).

struct TemplateItem {
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  std::wstring className;  // predefined classes by their names
  std::wstring text;
  WORD textOrdinal = 0;  // a resource number given as the text (pictures)
};

struct DialogTemplate {
  bool extended = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  short cx = 0, cy = 0;
  std::wstring menu, windowClass, title;
  WORD pointSize = 0;
  std::wstring face;
  std::vector<TemplateItem> items;
};

class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  WORD Word() {
    if (pos_ + 2 > bytes_.size()) {
      ok_ = false;
      return 0;
    }
    const WORD v = static_cast<WORD>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
  }
  DWORD Dword() {
    const DWORD low = Word();
    return low | static_cast<DWORD>(Word()) << 16;
  }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() {
    if (pos_ + 1 > bytes_.size()) {
      ok_ = false;
      return 0;
    }
    return bytes_[pos_++];
  }
  void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }
  std::wstring String() {
    std::wstring s;
    for (WORD c = Word(); ok_ && c != 0; c = Word()) s += static_cast<wchar_t>(c);
    return s;
  }
  // A name or, after 0xFFFF, a number.
  std::wstring StringOrOrdinal(WORD* ordinal) {
    *ordinal = 0;
    const WORD first = Word();
    if (first == 0) return L"";
    if (first == 0xFFFF) {
      *ordinal = Word();
      return L"";
    }
    std::wstring s(1, static_cast<wchar_t>(first));
    return s + String();
  }
  void Skip(size_t n) { pos_ += n; }

 private:
  const std::vector<unsigned char>& bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

std::wstring PredefinedClassName(WORD ordinal) {
  switch (ordinal) {
    case 0x80: return L"Button";
    case 0x81: return L"Edit";
    case 0x82: return L"Static";
    case 0x83: return L"ListBox";
    case 0x84: return L"ScrollBar";
    case 0x85: return L"ComboBox";
    default: return L"#" + std::to_wstring(ordinal);
  }
}

bool ReadDialogTemplate(int id, DialogTemplate* out) {
  const std::vector<unsigned char> bytes = ResourceBytes(MAKEINTRESOURCEW(5) /* RT_DIALOG */, id);
  if (bytes.empty()) return false;
  TemplateReader r(bytes);
  DialogTemplate& d = *out;
  const WORD version = r.Word(), signature = r.Word();
  d.extended = version == 1 && signature == 0xFFFF;
  WORD count = 0;
  if (d.extended) {
    r.Dword();  // help id
    d.exStyle = r.Dword();
    d.style = r.Dword();
  } else {
    d.style = version | static_cast<DWORD>(signature) << 16;
    d.exStyle = r.Dword();
  }
  count = r.Word();
  r.Short();  // x, y
  r.Short();
  d.cx = r.Short();
  d.cy = r.Short();
  WORD ordinal = 0;
  d.menu = r.StringOrOrdinal(&ordinal);
  d.windowClass = r.StringOrOrdinal(&ordinal);
  if (ordinal != 0) d.windowClass = L"#" + std::to_wstring(ordinal);
  d.title = r.String();
  if (d.style & DS_SETFONT) {
    d.pointSize = r.Word();
    if (d.extended) {
      r.Word();  // weight
      r.Byte();  // italic
      r.Byte();  // character set
    }
    d.face = r.String();
  }
  for (WORD i = 0; i < count && r.ok(); ++i) {
    r.AlignDword();
    TemplateItem item;
    if (d.extended) {
      r.Dword();  // help id
      r.Dword();  // extended style
      item.style = r.Dword();
    } else {
      item.style = r.Dword();
      r.Dword();  // extended style
    }
    item.x = r.Short();
    item.y = r.Short();
    item.cx = r.Short();
    item.cy = r.Short();
    item.id = d.extended ? r.Dword() : r.Word();
    WORD classOrdinal = 0;
    item.className = r.StringOrOrdinal(&classOrdinal);
    if (classOrdinal != 0) item.className = PredefinedClassName(classOrdinal);
    item.text = r.StringOrOrdinal(&item.textOrdinal);
    r.Skip(r.Word());  // creation data
    d.items.push_back(item);
  }
  return r.ok();
}

struct ExpectedControl {
  DWORD id;
  const wchar_t* className;
  DWORD style;  // besides WS_CHILD and WS_VISIBLE
  short x, y, cx, cy;
  const wchar_t* text;  // nullptr: wording of our own, checked by other tests
  WORD image;           // the picture a static shows, by number
};

constexpr DWORD kNoId = 0xFFFF;  // static texts the code never addresses

void ExpectControls(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected) {
  ASSERT_EQ(dialog.items.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const TemplateItem& item = dialog.items[i];
    const ExpectedControl& want = expected[i];
    SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(want.id) + ")");
    EXPECT_EQ(item.id, want.id);
    EXPECT_EQ(_wcsicmp(item.className.c_str(), want.className), 0) << Narrow(item.className);
    EXPECT_EQ(item.style, want.style | WS_CHILD | WS_VISIBLE) << std::hex << item.style;
    EXPECT_EQ(item.x, want.x);
    EXPECT_EQ(item.y, want.y);
    EXPECT_EQ(item.cx, want.cx);
    EXPECT_EQ(item.cy, want.cy);
    if (want.text != nullptr) {
      EXPECT_EQ(item.text, want.text);
    }
    EXPECT_EQ(item.textOrdinal, want.image);
  }
}

TEST(DialogTemplateTest, MainDialogHasItsTitleSizeStylesAndFont) {
  DialogTemplate dialog;
  ASSERT_TRUE(ReadDialogTemplate(101, &dialog));
  EXPECT_EQ(dialog.title, L"Tarnwick for Windows 95/NT");
  EXPECT_EQ(dialog.cx, 305);
  EXPECT_EQ(dialog.cy, 178);
  EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                                             WS_THICKFRAME | WS_CLIPSIBLINGS |
                                             WS_CLIPCHILDREN | DS_MODALFRAME | DS_CENTER | DS_SETFONT))
      << std::hex << dialog.style;
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.face, L"MS Sans Serif");
  EXPECT_EQ(dialog.windowClass, L"") << "the system's dialog class";
  EXPECT_EQ(dialog.menu, L"");
}

TEST(DialogTemplateTest, MainDialogControlsComeInOrderWithTheirPlacesStylesAndTexts) {
  DialogTemplate dialog;
  ASSERT_TRUE(ReadDialogTemplate(101, &dialog));
  ExpectControls(dialog, {
      {1, L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED, 7, 142, 103, 15, L"&Backup Found dlls", 0},
      {2, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 117, 142, 103, 15, L"&Exit", 0},
      {1005, L"Static", SS_LEFT | WS_GROUP, 7, 7, 291, 24, nullptr, 0},
      {1007, L"Static", SS_LEFT | WS_GROUP, 7, 31, 291, 21,
       L"Currently there are %d dlls are backuped in the %s directory.", 0},
      {1000, L"Button", BS_PUSHBUTTON | WS_TABSTOP, 7, 118, 103, 15, L"&Search for Unused dlls", 0},
      {1003, L"ListBox",
       WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_USETABSTOPS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 7, 57,
       291, 55, L"", 0},
      {1006, L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 117, 120, 99, 11, L"Recurse to Subdirectories", 0},
      {1010, L"Static", SS_BITMAP | SS_REALSIZEIMAGE, 231, 137, 67, 20, L"", 106},
  });
}

TEST(DialogTemplateTest, AboutBoxHasItsTitleSizeStylesAndFont) {
  DialogTemplate dialog;
  ASSERT_TRUE(ReadDialogTemplate(102, &dialog));
  EXPECT_EQ(dialog.title, L"About");
  EXPECT_EQ(dialog.cx, 265);
  EXPECT_EQ(dialog.cy, 121);
  EXPECT_EQ(dialog.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER |
                                             DS_SETFONT | DS_SYSMODAL))
      << std::hex << dialog.style;
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.face, L"MS Sans Serif");
  EXPECT_EQ(dialog.windowClass, L"");
}

TEST(DialogTemplateTest, AboutBoxControlsComeInOrderWithTheirPlacesStylesAndTexts) {
  DialogTemplate dialog;
  ASSERT_TRUE(ReadDialogTemplate(102, &dialog));
  ExpectControls(dialog, {
      {1, L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 108, 97, 50, 14, L"OK", 0},
      {kNoId, L"Static", SS_LEFT | WS_GROUP, 7, 7, 251, 26, nullptr, 0},
      {1009, L"Static", SS_OWNERDRAW | WS_GROUP, 7, 73, 156, 20, L"Other utilities can be found on my <homepage>.", 0},
      {kNoId, L"Static", SS_LEFT | WS_GROUP, 7, 56, 135, 11, nullptr, 0},
      {kNoId, L"Static", SS_LEFT | WS_GROUP, 7, 39, 125, 11, L"This product is BETA version.", 0},
      {1010, L"Static", SS_BITMAP | SS_REALSIZEIMAGE, 185, 39, 67, 20, L"", 106},
  });
  ASSERT_EQ(dialog.items.size(), 6u);
  // The product line carries the maker's notice with the year.
  EXPECT_NE(dialog.items[1].text.find(L"Pelmorin"), std::wstring::npos);
  EXPECT_NE(dialog.items[1].text.find(L"1998"), std::wstring::npos);
  EXPECT_FALSE(dialog.items[3].text.empty());
}

// ---------------------------------------------------------------------------
// The banner: a printf format that the main dialog fills in at start-up.

// The conversions of a printf format, in order ("%%" is none).
std::vector<std::string> Conversions(const std::string& format) {
  std::vector<std::string> found;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (i + 1 < format.size() && format[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < format.size() && std::strchr("-+ #0123456789.hlLqjzt", format[end]) != nullptr) ++end;
    found.push_back(format.substr(i, end + 1 - i));
    i = end;
  }
  return found;
}

std::string BannerTemplate() {
  DialogTemplate dialog;
  if (!ReadDialogTemplate(101, &dialog) || dialog.items.size() < 3) return "";
  return Narrow(dialog.items[2].text);
}

// What the main dialog shows: the template filled in with its five values.
std::string FormattedBanner() {
  char text[300];
  std::snprintf(text, sizeof text, BannerTemplate().c_str(), 1, 2, "beta", "Pelmorin", 1998);
  return text;
}

TEST(BannerTest, TakesVersionReleaseTagMakerAndYearInThatOrder) {
  const std::string banner = BannerTemplate();
  ASSERT_FALSE(banner.empty());
  EXPECT_EQ(Conversions(banner), (std::vector<std::string>{"%d", "%.2d", "%s", "%s", "%d"})) << banner;
  EXPECT_EQ(Conversions("Currently there are %d dlls are backuped in the %s directory."),
            (std::vector<std::string>{"%d", "%s"}));
}

TEST(BannerTest, FilledInItNamesProductVersionMakerAndYearAndFitsItsBuffer) {
  const std::string banner = BannerTemplate();
  ASSERT_FALSE(banner.empty());
  EXPECT_LT(banner.size(), 300u) << "the dialog reads the template into 300 bytes";
  char text[400];
  const int length = std::snprintf(text, sizeof text, banner.c_str(), 1, 2, "beta", "Pelmorin", 1998);
  EXPECT_LT(length, 300) << "the dialog formats into 300 bytes";
  const std::string shown = text;
  EXPECT_EQ(shown.find("Tarnwick32"), 0u) << shown;
  EXPECT_NE(shown.find("1.02 beta"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Pelmorin"), std::string::npos) << shown;
  EXPECT_NE(shown.find("1998"), std::string::npos) << shown;
}

// ---------------------------------------------------------------------------
// The dialogs as the dialog manager builds them from the templates.

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class BuiltDialog {
 public:
  explicit BuiltDialog(int id)
      : window_(CreateDialogParamW(Self(), MAKEINTRESOURCEW(id), nullptr, QuietDialogProc, 0)) {}
  ~BuiltDialog() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  BuiltDialog(const BuiltDialog&) = delete;
  BuiltDialog& operator=(const BuiltDialog&) = delete;
  HWND window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }

  // The height that `text` needs when wrapped to the width of the control,
  // in the control's own font.
  int WrappedHeight(HWND control, const std::string& text) const {
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, client.right, 0};
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return needed.bottom;
  }
  int TextWidth(HWND control, const std::string& text) const {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
  }

 private:
  HWND window_;
};

int ClientHeight(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  return client.bottom;
}

std::string WindowText(HWND window) {
  char text[400] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void ExpectLogoShown(HWND logo) {
  ASSERT_NE(logo, nullptr);
  const auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(logo, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(bitmap, nullptr) << "the logo control found no bitmap 106";
  BITMAP info;
  ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 100);
  EXPECT_EQ(info.bmHeight, 32);
}

TEST(BuiltDialogTest, MainDialogShowsTheLogoAndItsTextsFitTheirControls) {
  BuiltDialog dialog(101);
  ASSERT_NE(dialog.window(), nullptr);
  ExpectLogoShown(dialog.Control(1010));
  for (int id : {1, 2, 1000, 1003, 1005, 1006, 1007}) EXPECT_NE(dialog.Control(id), nullptr) << id;
  EXPECT_FALSE(IsWindowEnabled(dialog.Control(1))) << "Backup starts disabled";
  EXPECT_TRUE(IsWindowEnabled(dialog.Control(1000)));

  HWND banner = dialog.Control(1005);
  const std::string shown = FormattedBanner();
  EXPECT_LE(dialog.WrappedHeight(banner, shown), ClientHeight(banner)) << shown;
  HWND count = dialog.Control(1007);
  char line[300];
  std::snprintf(line, sizeof line, WindowText(count).c_str(), 12, "C:\\WINDOWS\\SYSBCKUP\\");
  EXPECT_LE(dialog.WrappedHeight(count, line), ClientHeight(count)) << line;
  for (int id : {1000, 1006}) {
    RECT client;
    GetClientRect(dialog.Control(id), &client);
    EXPECT_LT(dialog.TextWidth(dialog.Control(id), WindowText(dialog.Control(id))), client.right) << id;
  }
}

TEST(BuiltDialogTest, AboutBoxShowsTheLogoAndItsTextsFitTheirControls) {
  BuiltDialog dialog(102);
  ASSERT_NE(dialog.window(), nullptr);
  ExpectLogoShown(dialog.Control(1010));
  for (HWND child = GetWindow(dialog.window(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") != 0 || (style & SS_TYPEMASK) != SS_LEFT) continue;
    const std::string text = WindowText(child);
    EXPECT_LE(dialog.WrappedHeight(child, text), ClientHeight(child)) << text;
  }
  // The link line is drawn on one line, without its angle brackets.
  HWND link = dialog.Control(1009);
  ASSERT_NE(link, nullptr);
  RECT client;
  GetClientRect(link, &client);
  EXPECT_LE(dialog.TextWidth(link, "Other utilities can be found on my homepage."), client.right);
}

// ---------------------------------------------------------------------------
// Icon, logo and cursors.

#pragma pack(push, 1)
struct GroupIconEntry {  // an entry of RT_GROUP_ICON
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupCursorEntry {  // an entry of RT_GROUP_CURSOR
  WORD width, height;  // the height counts colour and mask rows
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

template <typename Entry>
std::vector<Entry> GroupEntries(LPCWSTR type, int id) {
  const std::vector<unsigned char> bytes = ResourceBytes(type, id);
  std::vector<Entry> entries;
  if (bytes.size() < 6) return entries;
  const WORD count = static_cast<WORD>(bytes[4] | bytes[5] << 8);
  for (WORD i = 0; i < count && 6 + (i + 1) * sizeof(Entry) <= bytes.size(); ++i) {
    Entry entry;
    std::memcpy(&entry, &bytes[6 + i * sizeof(Entry)], sizeof entry);
    entries.push_back(entry);
  }
  return entries;
}

BITMAPINFOHEADER HeaderAt(const std::vector<unsigned char>& bytes, size_t offset) {
  BITMAPINFOHEADER header = {};
  if (bytes.size() >= offset + sizeof header) std::memcpy(&header, &bytes[offset], sizeof header);
  return header;
}

TEST(PictureTest, IconHas32And16PixelImagesIn16Colours) {
  const auto entries = GroupEntries<GroupIconEntry>(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, 103);
  ASSERT_EQ(entries.size(), 2u);
  const int sizes[] = {32, 16};
  for (size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(sizes[i]);
    EXPECT_EQ(entries[i].width, sizes[i]);
    EXPECT_EQ(entries[i].height, sizes[i]);
    EXPECT_EQ(entries[i].colours, 16);
    EXPECT_EQ(entries[i].bitCount, 4);
    const BITMAPINFOHEADER header = HeaderAt(ResourceBytes(MAKEINTRESOURCEW(3) /* RT_ICON */, entries[i].id), 0);
    EXPECT_EQ(header.biWidth, sizes[i]);
    EXPECT_EQ(header.biHeight, 2 * sizes[i]);
    EXPECT_EQ(header.biBitCount, 4);

    const auto icon = static_cast<HICON>(LoadImageW(Self(), MAKEINTRESOURCEW(103), IMAGE_ICON, sizes[i], sizes[i], 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP colour;
    ASSERT_NE(info.hbmColor, nullptr);
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, sizes[i]);
    EXPECT_EQ(colour.bmHeight, sizes[i]);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(PictureTest, LogoIs100By32PixelsIn16Colours) {
  const BITMAPINFOHEADER header = HeaderAt(ResourceBytes(MAKEINTRESOURCEW(2) /* RT_BITMAP */, 106), 0);
  EXPECT_EQ(header.biWidth, 100);
  EXPECT_EQ(header.biHeight, 32);
  EXPECT_EQ(header.biBitCount, 4);
  const auto bitmap =
      static_cast<HBITMAP>(LoadImageW(Self(), MAKEINTRESOURCEW(106), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  DIBSECTION dib;
  ASSERT_EQ(GetObjectW(bitmap, sizeof dib, &dib), static_cast<int>(sizeof dib));
  EXPECT_EQ(dib.dsBm.bmWidth, 100);
  EXPECT_EQ(dib.dsBm.bmHeight, 32);
  EXPECT_EQ(dib.dsBmih.biBitCount, 4);
  DeleteObject(bitmap);
}

// The AND mask of a black-and-white cursor image (after the hot spot, the
// header, two palette entries and the colour rows): 0 where it is drawn.
bool CursorPixelDrawn(const std::vector<unsigned char>& image, int x, int y) {
  const size_t rows = 4 + 40 + 8 + 32 * 4;
  const size_t byte = rows + static_cast<size_t>(31 - y) * 4 + x / 8;
  return byte < image.size() && (image[byte] & (0x80 >> (x % 8))) == 0;
}

TEST(PictureTest, BothHandsAre32By32BlackAndWhiteWithTheHotSpotOnTheFingerTip) {
  std::vector<unsigned char> images[2];
  for (int id : {107, 108}) {
    SCOPED_TRACE(id);
    const auto entries = GroupEntries<GroupCursorEntry>(MAKEINTRESOURCEW(12) /* RT_GROUP_CURSOR */, id);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].width, 32);
    EXPECT_EQ(entries[0].height, 64);
    EXPECT_EQ(entries[0].bitCount, 1);
    std::vector<unsigned char>& image = images[id - 107];
    image = ResourceBytes(MAKEINTRESOURCEW(1) /* RT_CURSOR */, entries[0].id);
    ASSERT_GE(image.size(), 4u + 40u + 8u + 2u * 128u);
    EXPECT_EQ(image[0] | image[1] << 8, 7) << "hot spot x";
    EXPECT_EQ(image[2] | image[3] << 8, 1) << "hot spot y";
    const BITMAPINFOHEADER header = HeaderAt(image, 4);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);
    EXPECT_EQ(header.biBitCount, 1);
    EXPECT_TRUE(CursorPixelDrawn(image, 7, 1)) << "the hot spot lies on the finger";

    HCURSOR cursor = LoadCursorW(Self(), MAKEINTRESOURCEW(id));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 7u);
    EXPECT_EQ(info.yHotspot, 1u);
    EXPECT_EQ(info.hbmColor, nullptr) << "black and white: the mask holds both planes";
    BITMAP mask;
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  EXPECT_TRUE(images[0] != images[1]) << "two different hands";
}

// ---------------------------------------------------------------------------
// Version information, as a file-properties page reads it from the program.

TEST(VersionTest, FileAndProductVersionAre1_0_2_0) {
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00020000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(VersionTest, NamesProgramMakerAndBetaInUSEnglish) {
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));

  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  auto value = [&](const char* name) -> std::string {
    char* text = nullptr;
    UINT chars = 0;
    const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &chars) || text == nullptr)
      return "(missing)";
    return text;
  };
  EXPECT_EQ(value("Comments"), "BETA VERSION");
  EXPECT_EQ(value("CompanyName"), "Pelmorin");
  EXPECT_EQ(value("FileDescription"), "Tarnwick for Windows NT/95");
  EXPECT_EQ(value("FileVersion"), "1, 0, 2, 0");
  EXPECT_EQ(value("InternalName"), "tarnwick.exe");
  EXPECT_EQ(value("OriginalFilename"), "tarnwick.exe");
  EXPECT_EQ(value("ProductName"), "Tarnwick for Windows");
  EXPECT_EQ(value("ProductVersion"), "1, 0, 2, 0");
  EXPECT_NE(value("LegalCopyright").find("Pelmorin"), std::string::npos) << value("LegalCopyright");
}

}  // namespace
