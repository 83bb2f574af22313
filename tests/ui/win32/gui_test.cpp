// tarnwick.exe from start to end, worked through its real dialog under Wine:
// the sample installation lies in C:\sample of the test's own Wine prefix,
// and tarnwick.ini in the Windows directory points the program at it.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "samples/sample_installation.h"
#include "tests/builders/exe_builders.h"
#include "tests/builders/scratch_dir.h"
#include "tests/ui/win32/gui_driver.h"
#include "ui/win32/resource_ids.h"

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string out;
  for (char c : text.str()) {
    if (c != '\r') out += c;
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// How each candidate of the sample is used: the text after its path, or
// "?" for the unused ones.
std::string ExpectedUse(const std::string& name) {
  if (name == "zipfldr.dll") return "(NT registry)";
  if (name == "spool32.dll") return "(W95 registry)";
  if (name == "commdlg.dll" || name == "mmsystem.dll" || name == "toolhelp.dll") return "(16-bit exe or dll)";
  const std::vector<std::string> unused = samples::SampleUnusedCandidates();
  if (std::find(unused.begin(), unused.end(), name) != unused.end()) return "?";
  return "(32-bit exe or dll)";
}

// A control's place in its dialog's client area.
RECT PlaceOf(HWND dialog, int id) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = Env("TARNWICK_EXE");
    ASSERT_FALSE(exe_.empty()) << "TARNWICK_EXE names the program";
    prefix_ = gui::WindowsPath(Env("WINEPREFIX"));
    ASSERT_NE(prefix_, "Z:");
    std::error_code ignored;
    fs::remove_all("C:\\sample", ignored);
    fs::remove_all(prefix_ + "\\backup", ignored);
    fs::remove("C:\\windows\\tarnwick.ini", ignored);
    samples::WriteSampleInstallation(prefix_, {"sample"});
    work_ = scratch_.path();
  }

  std::string SettingsText() const { return ReadText("C:\\windows\\tarnwick.ini"); }
  std::string LogText() const { return ReadText(work_ + "\\tarnwick.log"); }
  std::string Backup() const { return prefix_ + "\\backup"; }

  // Starts the program and waits for its main dialog to finish opening.
  HWND Start(gui::Program& program) {
    EXPECT_TRUE(program.Started());
    HWND dialog = gui::WaitForDialog(gui::kMainTitle, program.ProcessId());
    EXPECT_NE(dialog, nullptr);
    if (dialog != nullptr) {
      EXPECT_TRUE(gui::WaitFor([&] { return gui::Text(GetDlgItem(dialog, IDC_STATUS_BAR)) == "done"; }));
    }
    return dialog;
  }

  // Search, answered with answer; returns the question's text.
  std::string Search(HWND dialog, DWORD processId, int answer) {
    gui::Click(dialog, IDC_SEARCH);
    HWND question = gui::WaitForDialog("Question", processId);
    if (question == nullptr) return "";
    const std::string text = gui::MessageText(question);
    gui::Answer(question, answer);
    return text;
  }

  // A status that ends a search or a backup: these walk the whole test
  // prefix, which takes far longer on a machine busy with other tests.
  bool WaitForStatus(HWND dialog, const std::string& start) {
    constexpr DWORD kWholeSearchMs = 180000;
    return gui::WaitFor([&] { return gui::Text(GetDlgItem(dialog, IDC_STATUS_BAR)).rfind(start, 0) == 0; },
                        kWholeSearchMs);
  }

  std::string exe_;
  std::string prefix_;
  testbuild::ScratchDir scratch_;
  std::string work_;
};

TEST_F(GuiTest, SearchListsTheUsersOfEveryCandidateAndBackupMovesTheRest) {
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);
  const std::string banner = gui::ControlText(dialog, IDC_BANNER);
  EXPECT_NE(banner.find("1.02"), std::string::npos) << banner;
  EXPECT_NE(banner.find("Pelmorin"), std::string::npos) << banner;
  EXPECT_EQ(gui::ControlText(dialog, IDC_BACKUP_COUNT),
            "Currently there are 0 dlls are backuped in the " + Backup() + "\\ directory.");
  EXPECT_FALSE(gui::Enabled(dialog, IDC_BACKUP));
  EXPECT_NE(SettingsText().find("classname=#32770"), std::string::npos) << "the marker of a running instance";

  EXPECT_EQ(Search(dialog, program.ProcessId(), IDYES),
            "Now begin analizing. It may take plenty of time. Do you wish to proceed?");
  ASSERT_TRUE(WaitForStatus(dialog, "done total"));
  const std::vector<std::string> candidates = samples::SampleCandidates();
  EXPECT_EQ(gui::ControlText(dialog, IDC_STATUS_BAR), "done total " + std::to_string(candidates.size()) + " files");
  const std::vector<std::string> lines = gui::ListLines(dialog, IDC_RESULT_LIST);
  ASSERT_EQ(lines.size(), candidates.size());
  std::vector<std::string> listed;
  for (const std::string& line : lines) {
    const std::string name = line.substr(0, line.find('\t'));
    listed.push_back(name);
    const std::string use = ExpectedUse(name);
    const bool sixteen = name == "commdlg.dll" || name == "mmsystem.dll" || name == "toolhelp.dll" ||
                         name == "lzexpand.dll";
    const std::string head = name + "\t" + (sixteen ? "16" : "32") + "\t";
    EXPECT_EQ(line.rfind(head, 0), 0u) << line;
    if (use == "?") {
      EXPECT_EQ(line, head + "?");
    } else {
      EXPECT_EQ(line.substr(head.size(), 10), "C:\\sample\\") << line;
      EXPECT_EQ(line.substr(line.size() - use.size()), use) << line;
    }
  }
  std::vector<std::string> expected = candidates;
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  EXPECT_TRUE(gui::Enabled(dialog, IDC_BACKUP));

  gui::Click(dialog, IDC_BACKUP);
  ASSERT_TRUE(WaitForStatus(dialog, "5 files backuped"));
  EXPECT_FALSE(gui::Enabled(dialog, IDC_BACKUP));
  for (const std::string& name : samples::SampleUnusedCandidates()) {
    EXPECT_TRUE(fs::exists(Backup() + "\\" + name)) << name;
  }
  EXPECT_EQ(gui::ControlText(dialog, IDC_BACKUP_COUNT),
            "Currently there are 0 dlls are backuped in the " + Backup() + "\\ directory.")
      << "the count is not refreshed";

  gui::Click(dialog, IDC_EXIT);
  ASSERT_TRUE(program.WaitForExit());
  const std::vector<std::string> log = Lines(LogText());
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log.front().rfind("Log File Opened at  ", 0), 0u);
  EXPECT_NE(LogText().find("Directory : C:\\sample\n"), std::string::npos);
  EXPECT_NE(LogText().find("Now perfoming the final analysis\nDirectory : C:\\sample\\\n"), std::string::npos);
  EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.begin() + static_cast<long>(log.size()) - 3),
            (std::vector<std::string>{"Result :", "        28 files searched"}));
  EXPECT_EQ(log.back(), "        5 really moved");

  // Written back (existing keys in place, new ones in the order written),
  // the marker gone.
  const std::string settings = SettingsText();
  const auto at = [&](const std::string& key) { return settings.find(key); };
  EXPECT_NE(at("backupto=" + Backup() + "\\\n"), std::string::npos) << settings;
  EXPECT_NE(at("searchdrives=C:\\sample\n"), std::string::npos) << settings;
  EXPECT_NE(at("recurse=0"), std::string::npos);
  EXPECT_LT(at("recurse=0"), at("find16b_dlls=1"));
  EXPECT_EQ(at("classname"), std::string::npos) << settings;
}

// The restore from the window menu (asked first, the result shown, the
// backup-count line refreshed) and from the command line without the dialog.
TEST_F(GuiTest, WindowMenuAndCommandLineRestoreTheBackup) {
  const std::vector<std::string> unused = samples::SampleUnusedCandidates();
  const std::string system32 = "C:\\sample\\windows\\system32\\";
  ASSERT_NE(unused[0], "lzexpand.dll");
  {
    gui::Program program(exe_, work_);
    HWND dialog = Start(program);
    ASSERT_NE(dialog, nullptr);
    Search(dialog, program.ProcessId(), IDYES);
    ASSERT_TRUE(WaitForStatus(dialog, "done total"));
    gui::Click(dialog, IDC_BACKUP);
    ASSERT_TRUE(WaitForStatus(dialog, "5 files backuped"));
    EXPECT_EQ(gui::FindDialog("Backup", program.ProcessId()), nullptr) << "nothing stayed, nothing to tell";

    for (int answer : {IDNO, IDYES}) {
      PostMessageA(dialog, WM_SYSCOMMAND, IDM_RESTORE, 0);
      HWND question = gui::WaitForDialog("Question", program.ProcessId());
      ASSERT_NE(question, nullptr);
      EXPECT_EQ(gui::MessageText(question), "Put every backed-up library back into the folder it came from?");
      if (answer == IDYES) testbuild::WriteFile(system32 + unused[0], testbuild::Ascii("installed since"));
      gui::Answer(question, answer);
      ASSERT_TRUE(gui::WaitFor([&] { return gui::FindDialog("Question", program.ProcessId()) == nullptr; }));
    }
    HWND result = gui::WaitForDialog("Restore", program.ProcessId());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(gui::MessageText(result), "4 libraries restored.\nNot restored: 1\n  " + unused[0] +
                                            ": a file of that name stands at " + system32 + unused[0] + " now");
    EXPECT_EQ(gui::ControlText(dialog, IDC_BACKUP_COUNT),
              "Currently there are 1 dlls are backuped in the " + Backup() + "\\ directory.");
    gui::Answer(result, IDOK);
    for (std::size_t i = 1; i < unused.size(); ++i) EXPECT_FALSE(fs::exists(Backup() + "\\" + unused[i]));
    gui::Click(dialog, IDC_EXIT);
    ASSERT_TRUE(program.WaitForExit());
  }

  fs::remove(system32 + unused[0]);
  for (const auto& [arguments, code] : std::vector<std::pair<std::string, DWORD>>{
           {"/restore", 0}, {"/RESTORE", 0}, {"/restore nosuch.dll", 1}}) {
    gui::Program program(exe_, work_, arguments);
    ASSERT_TRUE(program.WaitForExit()) << arguments;
    EXPECT_EQ(program.ExitCode(), code) << arguments;
  }
  EXPECT_TRUE(fs::exists(system32 + unused[0]));
  EXPECT_FALSE(fs::exists(Backup() + "\\" + unused[0]));
  const std::string log = LogText();
  EXPECT_NE(log.find("restored " + unused[0] + " to " + system32 + unused[0] + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("not restored nosuch.dll: not in the backup folder\n"), std::string::npos);
}

TEST_F(GuiTest, ExitBeforeAnySearchWarnsAndLeavesTheSettingsAlone) {
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);
  gui::Click(dialog, IDC_EXIT);
  HWND warning = gui::WaitForDialog("Warning", program.ProcessId());
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(gui::MessageText(warning), "Process was cancelled");
  gui::Answer(warning, IDOK);
  ASSERT_TRUE(program.WaitForExit());
  const std::string settings = SettingsText();
  EXPECT_NE(settings.find("classname=#32770"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("recurse="), std::string::npos) << "nothing written back";
}

TEST_F(GuiTest, NoToTheQuestionLeavesTheCandidatesListed) {
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);
  Search(dialog, program.ProcessId(), IDNO);
  ASSERT_TRUE(gui::WaitFor([&] { return gui::FindDialog("Question", program.ProcessId()) == nullptr; }));
  const std::vector<std::string> lines = gui::ListLines(dialog, IDC_RESULT_LIST);
  ASSERT_EQ(lines.size(), samples::SampleCandidates().size());
  for (const std::string& line : lines) EXPECT_EQ(line.back(), '?') << line;
  EXPECT_FALSE(gui::Enabled(dialog, IDC_BACKUP));
  EXPECT_TRUE(gui::Enabled(dialog, IDC_SEARCH));
  // The registry reading begun for the question was dropped unseen; the
  // next search reads it afresh.
  EXPECT_EQ(LogText().find("Registry :"), std::string::npos);
  Search(dialog, program.ProcessId(), IDYES);
  ASSERT_TRUE(WaitForStatus(dialog, "done total"));
  const std::string log = LogText();
  EXPECT_NE(log.find("Registry : the live registry"), std::string::npos) << log;
  EXPECT_EQ(log.find("Registry :"), log.rfind("Registry :")) << log;
}

TEST_F(GuiTest, NewSearchAnsweredNoLeavesNothingToBackUp) {
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);
  Search(dialog, program.ProcessId(), IDYES);
  ASSERT_TRUE(WaitForStatus(dialog, "done total"));
  ASSERT_TRUE(gui::Enabled(dialog, IDC_BACKUP));
  // The list is collected afresh and nothing searched: backing it up would
  // move the libraries the first search found in use.
  Search(dialog, program.ProcessId(), IDNO);
  ASSERT_TRUE(gui::WaitFor([&] { return gui::FindDialog("Question", program.ProcessId()) == nullptr; }));
  EXPECT_TRUE(gui::WaitFor([&] { return !gui::Enabled(dialog, IDC_BACKUP); }));
}

TEST_F(GuiTest, SecondInstanceOffersTheFirstAndEnds) {
  gui::Program first(exe_, work_);
  HWND dialog = Start(first);
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_MINIMIZE);
  for (int answer : {IDNO, IDYES}) {
    const std::string before = SettingsText();
    gui::Program second(exe_, work_);
    HWND question = gui::WaitForDialog("Warning", second.ProcessId());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(gui::MessageText(question), "Tarnwick is already running, do you wish to activate it's window?");
    gui::Answer(question, answer);
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(gui::FindDialog(gui::kMainTitle, second.ProcessId()), nullptr);
    EXPECT_EQ(SettingsText(), before);
    if (answer == IDYES) {
      EXPECT_TRUE(gui::WaitFor([&] { return IsWindowVisible(dialog) && !IsIconic(dialog); }))
          << "the first instance is shown and restored";
    }
  }
  EXPECT_TRUE(first.Running());
}

TEST_F(GuiTest, MinimisedDuringTheSearchTheDialogHidesAndComesBack) {
  // Enough files that the search lasts while the window is minimised.
  fs::create_directories("C:\\sample\\bulk");
  for (int i = 0; i < 1500; ++i) {
    testbuild::PeImage pe;
    pe.imports = {"KERNEL32.dll"};
    pe.data = testbuild::Ascii("bulk file");
    testbuild::WriteFile("C:\\sample\\bulk\\file" + std::to_string(i) + ".exe", pe.Build());
  }
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);
  Search(dialog, program.ProcessId(), IDYES);
  ASSERT_TRUE(WaitForStatus(dialog, "Analyzing"));
  PostMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(gui::WaitFor([&] { return !IsWindowVisible(dialog); })) << "hidden while the search runs";
  ASSERT_TRUE(WaitForStatus(dialog, "done total"));
  EXPECT_TRUE(gui::WaitFor([&] { return IsWindowVisible(dialog) && !IsIconic(dialog); }));
}

}  // namespace

namespace {

// Points the http protocol's open command at program (the address as its
// one argument), so the About box's ShellExecuteA reaches it.
void SetBrowser(const std::string& program) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::string command = "\"" + program + "\" \"%1\"";
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
  RegCloseKey(key);
}

POINT CenterOf(HWND window) {
  RECT area;
  GetWindowRect(window, &area);
  return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

// Moves the pointer to a screen position and tells the dialog, with the key
// state keys, as a mouse move there would. The real move that the pointer
// makes (without keys) reaches the program first: waiting for it keeps it
// from overtaking the move with keys.
void MovePointer(HWND dialog, POINT at, WPARAM keys = 0) {
  SetCursorPos(at.x, at.y);
  Sleep(150);
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId)) {
    WaitForInputIdle(process, 2000);
    CloseHandle(process);
  }
  POINT client = at;
  ScreenToClient(dialog, &client);
  SendMessageA(dialog, WM_MOUSEMOVE, keys, MAKELPARAM(client.x, client.y));
}

void ClickAt(HWND dialog, POINT at) {
  MovePointer(dialog, at);
  POINT client = at;
  ScreenToClient(dialog, &client);
  PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
}

// The x positions along the link line where the pointer counts as on the
// link: the About box's own answer, seen through its click.
HWND OpenAbout(HWND dialog, DWORD processId) {
  ClickAt(dialog, CenterOf(GetDlgItem(dialog, IDC_LOGO)));
  return gui::WaitForDialog("About", processId);
}

}  // namespace

TEST_F(GuiTest, AboutBoxOpensTheHomePageFromTheLinkAndTheHiddenPageFromTheLogo) {
  const std::string record = work_ + "\\url.txt";
  SetEnvironmentVariableA("TARNWICK_URL_RECORD", record.c_str());
  SetBrowser(Env("TARNWICK_URL_RECORDER"));
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);

  // A click beside the logo opens nothing.
  RECT logo;
  GetWindowRect(GetDlgItem(dialog, IDC_LOGO), &logo);
  ClickAt(dialog, {logo.left - 5, logo.top + 3});
  Sleep(300);
  EXPECT_EQ(gui::FindDialog("About", program.ProcessId()), nullptr);

  HWND about = OpenAbout(dialog, program.ProcessId());
  ASSERT_NE(about, nullptr);
  RECT link;
  GetWindowRect(GetDlgItem(about, IDC_LINK), &link);
  const int y = link.top + 4;
  // The black text before the word reacts to nothing; the word itself does.
  ClickAt(about, {link.left + 2, y});
  Sleep(300);
  EXPECT_FALSE(fs::exists(record));
  int hot = -1;
  for (int x = link.left; x < link.right && hot < 0; x += 6) {
    ClickAt(about, {x, y});
    if (gui::WaitFor([&] { return fs::exists(record); }, 150)) hot = x;
  }
  ASSERT_GE(hot, 0) << "no part of the link line opened the home page";
  EXPECT_GT(hot, link.left + 40) << "the hot part is the underlined word, not the text before it";
  EXPECT_EQ(ReadText(record), "http://www.pelmorin.example");
  EXPECT_TRUE(gui::WaitFor([&] { return gui::FindDialog("About", program.ProcessId()) == nullptr; }))
      << "an opened page ends the About box";

  // With Shift held over the link the second hand shows and stays; a click
  // on the About box's logo then opens the hidden page.
  fs::remove(record);
  about = OpenAbout(dialog, program.ProcessId());
  ASSERT_NE(about, nullptr);
  MovePointer(about, {hot + 4, y}, MK_SHIFT);
  ClickAt(about, CenterOf(GetDlgItem(about, IDC_LOGO)));
  ASSERT_TRUE(gui::WaitFor([&] { return fs::exists(record); }, 5000));
  EXPECT_EQ(ReadText(record), "http://www.pelmorin.example/hidden/index13.html");

  // A browser that cannot be started leaves the box open with the error.
  SetBrowser("C:\\no\\such\\browser.exe");
  about = OpenAbout(dialog, program.ProcessId());
  ASSERT_NE(about, nullptr);
  ClickAt(about, {hot + 4, y});
  HWND error = gui::WaitForDialog("Error", program.ProcessId());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(gui::MessageText(error), "Error Starting your html-browser");
  gui::Answer(error, IDOK);
  EXPECT_NE(gui::FindDialog("About", program.ProcessId()), nullptr);
}

// A program in a folder named in a script outside the Western code page: the
// manifest's UTF-8 code page lets the A functions open it, so the library
// it alone imports is listed as used, with its path.
TEST_F(GuiTest, ProgramInAFolderNamedInCyrillicIsSearched) {
  const fs::path editor = fs::path(L"C:\\sample\\Program Files") /
                          L"\u0420\u0435\u0434\u0430\u043a\u0442\u043e\u0440";  // "Editor" in Russian
  fs::rename(L"C:\\sample\\Program Files\\Editor", editor);
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);
  Search(dialog, program.ProcessId(), IDYES);
  ASSERT_TRUE(WaitForStatus(dialog, "done total"));
  std::string riched;
  for (const std::string& line : gui::ListLines(dialog, IDC_RESULT_LIST)) {
    if (line.rfind("riched20.dll\t", 0) == 0) riched = line;
  }
  const std::string use = "\\editor.exe(32-bit exe or dll)";
  ASSERT_GT(riched.size(), use.size()) << riched;
  EXPECT_EQ(riched.substr(riched.size() - use.size()), use) << riched;
  EXPECT_EQ(riched.rfind("riched20.dll\t32\tC:\\sample\\Program Files\\", 0), 0u) << riched;
  gui::Click(dialog, IDC_EXIT);
  EXPECT_TRUE(program.WaitForExit());
}

// The main dialog opens at its template's size and can then be resized:
// the list takes what the window gains, the status bar follows the bottom,
// the buttons, the check box and the logo keep their distance from it, and
// the window never gets smaller than it opened.
TEST_F(GuiTest, ResizedDialogGrowsTheListAndKeepsTheControlsAtTheBottom) {
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);
  const LONG style = GetWindowLongA(dialog, GWL_STYLE);
  EXPECT_NE(style & WS_THICKFRAME, 0) << "a sizing border";
  EXPECT_NE(style & WS_MAXIMIZEBOX, 0);
  EXPECT_NE(GetWindowLongA(GetDlgItem(dialog, IDC_STATUS_BAR), GWL_STYLE) & SBARS_SIZEGRIP, 0) << "a grip";
  Search(dialog, program.ProcessId(), IDYES);
  ASSERT_TRUE(WaitForStatus(dialog, "done total"));
  const int extent = static_cast<int>(SendMessageA(GetDlgItem(dialog, IDC_RESULT_LIST), LB_GETHORIZONTALEXTENT, 0, 0));
  EXPECT_GT(extent, 0);

  const int ids[] = {IDC_SEARCH, IDC_RECURSE, IDC_BACKUP, IDC_EXIT, IDC_LOGO, IDC_BANNER, IDC_BACKUP_COUNT};
  std::vector<RECT> opened;
  for (int id : ids) opened.push_back(PlaceOf(dialog, id));
  const RECT list = PlaceOf(dialog, IDC_RESULT_LIST);
  RECT window;
  GetWindowRect(dialog, &window);
  const int width = window.right - window.left, height = window.bottom - window.top;

  const auto placedAfter = [&](int dx, int dy) {
    RECT wanted = list;
    wanted.right += dx;
    wanted.bottom += dy;
    if (!gui::WaitFor([&] { return SameRect(PlaceOf(dialog, IDC_RESULT_LIST), wanted); }, 5000)) {
      const RECT got = PlaceOf(dialog, IDC_RESULT_LIST);
      ADD_FAILURE() << "list at " << got.left << "," << got.top << "," << got.right << "," << got.bottom;
      return;
    }
    for (std::size_t i = 0; i < opened.size(); ++i) {
      RECT expected = opened[i];
      if (ids[i] != IDC_BANNER && ids[i] != IDC_BACKUP_COUNT) OffsetRect(&expected, 0, dy);
      EXPECT_TRUE(SameRect(PlaceOf(dialog, ids[i]), expected)) << "control " << ids[i] << " after " << dx << "," << dy;
    }
    RECT client, status;
    GetClientRect(dialog, &client);
    status = PlaceOf(dialog, IDC_STATUS_BAR);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.right, client.right);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_RESULT_LIST), LB_GETHORIZONTALEXTENT, 0, 0), extent)
        << "the extent still fits the widest line";
  };

  SetWindowPos(dialog, nullptr, 0, 0, width + 200, height + 150, SWP_NOMOVE | SWP_NOZORDER);
  placedAfter(200, 150);
  // Smaller than it opened: the controls stay at their opening places, and
  // the smallest size a user can drag to is the opening size.
  SetWindowPos(dialog, nullptr, 0, 0, width - 60, height - 40, SWP_NOMOVE | SWP_NOZORDER);
  placedAfter(0, 0);
  MINMAXINFO limits = {};
  SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, width);
  EXPECT_EQ(limits.ptMinTrackSize.y, height);
  SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  placedAfter(0, 0);

  ShowWindow(dialog, SW_MAXIMIZE);
  EXPECT_TRUE(gui::WaitFor([&] { return IsZoomed(dialog) && PlaceOf(dialog, IDC_RESULT_LIST).right > list.right; }, 5000));
  ShowWindow(dialog, SW_RESTORE);
  EXPECT_TRUE(gui::WaitFor([&] { return SameRect(PlaceOf(dialog, IDC_RESULT_LIST), list); }, 5000));

  gui::Click(dialog, IDC_EXIT);
  EXPECT_TRUE(program.WaitForExit());
}

// One whole run for the comparison with the console edition: search, backup,
// exit, then the list lines and the moved files written to the file that
// TARNWICK_CROSS_RESULT names. Skipped when no such file is asked for.
TEST_F(GuiTest, RunForTheComparisonWithTheConsoleEdition) {
  const std::string result = Env("TARNWICK_CROSS_RESULT");
  if (result.empty()) GTEST_SKIP() << "run by the cross-edition comparison only";
  gui::Program program(exe_, work_);
  HWND dialog = Start(program);
  ASSERT_NE(dialog, nullptr);
  Search(dialog, program.ProcessId(), IDYES);
  ASSERT_TRUE(WaitForStatus(dialog, "done total"));
  const std::vector<std::string> lines = gui::ListLines(dialog, IDC_RESULT_LIST);
  gui::Click(dialog, IDC_BACKUP);
  ASSERT_TRUE(WaitForStatus(dialog, "5 files backuped"));
  gui::Click(dialog, IDC_EXIT);
  ASSERT_TRUE(program.WaitForExit());
  std::ofstream out(result, std::ios::binary);
  for (const std::string& line : lines) out << "line\t" << line << "\n";
  for (const auto& entry : fs::directory_iterator(Backup())) out << "moved\t" << entry.path().filename().string() << "\n";
}
