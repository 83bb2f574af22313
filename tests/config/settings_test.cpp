// Start-up, write-back and the single-instance test, against the platform's
// real profile functions: natively through a Wine-style prefix, in the
// Windows build under Wine through GetPrivateProfileStringA and friends.
#include "config/settings.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/system_dirs.h"
#include "tests/support/test_installation.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/startup.h"

namespace testbuild {
namespace {

class StubPrompts : public StartupPrompts {
 public:
  explicit StubPrompts(bool answer = false) : answer_(answer) {}
  bool AskYesNo(const char* caption, const char* text) override {
    questions.emplace_back(caption, text);
    return answer_;
  }
  void Inform(const char* text) override { notes.push_back(text); }

  std::vector<std::pair<std::string, std::string>> questions;
  std::vector<std::string> notes;

 private:
  bool answer_;
};

struct Entry {
  std::string section, key, value;
};

// The file's key lines in order, each with its section.
std::vector<Entry> Entries(const std::string& text) {
  std::vector<Entry> out;
  std::istringstream lines(text);
  std::string section;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto equals = line.find('=');
    if (equals != std::string::npos) out.push_back({section, line.substr(0, equals), line.substr(equals + 1)});
  }
  return out;
}

std::vector<std::string> Table(const Settings& settings) {
  std::vector<std::string> out;
  for (const std::string& extension : settings.ExtensionTable) {
    out.push_back(extension);
    if (extension.empty()) break;
  }
  return out;
}

std::string WithSeparator(std::string path) {
  if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
  return path;
}

bool SamePathIgnoringCase(std::string a, std::string b) {
  for (std::string* s : {&a, &b}) {
    for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return a == b;
}

TEST(SettingsTest, DefaultsWithoutASettingsFile) {
  TestInstallation installation;
  ProcessState state;
  StubPrompts prompts;
  ASSERT_EQ(StartupInit(state, prompts), 1);
  const Settings& s = state.settings;
  EXPECT_EQ(std::string(s.BackupDir), WithSeparator(CurrentDirectory()) + "BACKUP");
  EXPECT_EQ(s.Recurse, 0);
  EXPECT_EQ(std::string(s.LibraryDir32), SystemDirectory());
  // The Windows directory's "SYSTEM" folder, found whatever its case.
  EXPECT_TRUE(SamePathIgnoringCase(s.LibraryDir16, WithSeparator(WindowsDirectory()) + "SYSTEM")) << s.LibraryDir16;
  EXPECT_EQ(s.LibraryKindMask, 0x30);
  EXPECT_STREQ(s.DriveSelection, "CDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(Table(s), (std::vector<std::string>{"dll", ""}));
  EXPECT_STREQ(state.SearchRoot, "");
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_FALSE(installation.SettingsExist()) << "reading never creates the file";

  // What a normal end writes: the backup folder counted (so it gained its
  // separator), then the keys in their order, and no marker.
  CountLibraryFiles(state, state.settings.BackupDir);
  SaveSettings(state.settings);
  const std::vector<Entry> entries = Entries(installation.ReadSettings());
  ASSERT_EQ(entries.size(), 4u) << installation.ReadSettings();
  EXPECT_EQ(entries[0].key, "backupto");
  EXPECT_EQ(entries[0].value, SettingsPath(state.settings.BackupDir));
  EXPECT_EQ(entries[0].value.back(), '\\');
  EXPECT_EQ(entries[1].key, "recurse");
  EXPECT_EQ(entries[1].value, "0");
  EXPECT_EQ(entries[2].key, "find16b_dlls");
  EXPECT_EQ(entries[2].value, "1");
  EXPECT_EQ(entries[3].key, "searchdrives");
  EXPECT_EQ(entries[3].value, "CDEFGHIJKLMNOPQRSTUVWXYZ");
  for (const Entry& entry : entries) EXPECT_EQ(entry.section, "options");
}

TEST(SettingsTest, HandWrittenFileWithOddSpacingCommentsAndLineEnds) {
  TestInstallation installation;
  const std::string backup = installation.Folder("saved");
  const std::string lib32 = installation.Folder("lib32");
  const std::string lib16 = installation.Folder("lib16");
  installation.WriteSettings("; settings written by hand\r\n[Options]\r\n  BackupTo =  " + SettingsPath(backup) +
                             "  \r\nrecurse=1\n32bitdllpath=" + SettingsPath(lib32) +
                             "\r\n\r\n16BITDLLPATH = " + SettingsPath(lib16) +
                             "\nfind16b_dlls=0\r\nsearchdrives=DCZ\r\ndllextensions=dll drv  exe\r\n"
                             "lookimportsonly=1\r\n[currentprocess]\r\nclassname=\r\n");
  ProcessState state;
  StubPrompts prompts;
  ASSERT_EQ(StartupInit(state, prompts), 1);
  const Settings& s = state.settings;
  EXPECT_EQ(std::string(s.BackupDir), backup);
  EXPECT_EQ(s.Recurse, 1);
  EXPECT_EQ(std::string(s.LibraryDir32), lib32);
  EXPECT_EQ(std::string(s.LibraryDir16), lib16);
  EXPECT_EQ(s.LibraryKindMask, 0x20);
  EXPECT_STREQ(s.DriveSelection, "DCZ");
  EXPECT_EQ(Table(s), (std::vector<std::string>{"dll", "drv", "exe", ""}));
}

TEST(SettingsTest, EmptyPathKeysGetTheirDefaults) {
  TestInstallation installation;
  installation.WriteSettings("[options]\r\nbackupto=\r\n32bitdllpath=\r\n16bitdllpath=\r\nsearchdrives=\r\n");
  ProcessState state;
  StubPrompts prompts;
  StartupInit(state, prompts);
  EXPECT_EQ(std::string(state.settings.BackupDir), WithSeparator(CurrentDirectory()) + "BACKUP");
  EXPECT_EQ(std::string(state.settings.LibraryDir32), SystemDirectory());
  // An empty drive selection is no path: it stays empty and searches nothing.
  EXPECT_STREQ(state.settings.DriveSelection, "");
}

TEST(SettingsTest, SixteenBitFlagIsWrittenBackAsZeroOrOne) {
  for (const auto& [value, written] : std::vector<std::pair<std::string, std::string>>{{"5", "1"}, {"0", "0"}}) {
    TestInstallation installation;
    installation.WriteSettings("[options]\r\nfind16b_dlls=" + value + "\r\n");
    ProcessState state;
    StubPrompts prompts;
    StartupInit(state, prompts);
    EXPECT_EQ(state.settings.LibraryKindMask, value == "0" ? 0x20 : 0x30);
    SaveSettings(state.settings);
    for (const Entry& entry : Entries(installation.ReadSettings())) {
      if (entry.key == "find16b_dlls") {
        EXPECT_EQ(entry.value, written);
      }
    }
  }
}

TEST(SettingsTest, FolderOfSearchDrivesIsSearchedWholeOrNotAtAllAndWrittenBackAsRead) {
  const std::string fits = "C:\\PROGRAM FILES\\VERY LONG FOLDER\\" + std::string(100, 'x');
  const std::string tooLong = "C:\\" + std::string(300, 'y');
  for (const std::string& value : {fits, tooLong}) {
    TestInstallation installation;
    installation.WriteSettings("[options]\r\nsearchdrives=" + value + "\r\n");
    ProcessState state;
    StubPrompts prompts;
    StartupInit(state, prompts);
    EXPECT_TRUE(IsDirectoryForm(state.settings.DriveSelection));
    if (value == fits) {
      EXPECT_EQ(std::string(state.settings.DriveSelection), value);
      EXPECT_EQ(std::string(state.SearchRoot), NativePath(value));
      EXPECT_TRUE(prompts.notes.empty());
    } else {
      EXPECT_STREQ(state.SearchRoot, "") << "no cut folder is searched";
      ASSERT_EQ(prompts.notes.size(), 1u);
      EXPECT_NE(prompts.notes[0].find("\"searchdrives\" is too long"), std::string::npos);
    }
    SaveSettings(state.settings);
    std::string written;
    for (const Entry& entry : Entries(installation.ReadSettings())) {
      if (entry.key == "searchdrives") written = entry.value;
    }
    EXPECT_EQ(written, value) << "the value goes back as it was read";
  }
}

TEST(SettingsTest, WriteBackKeepsWhatItDoesNotOwnAndDropsTheMarker) {
  TestInstallation installation;
  installation.WriteSettings(
      "[options]\r\n; keep me\r\ndllextensions=dll drv\r\nlookimportsonly=1\r\nrecurse=0\r\n"
      "[currentprocess]\r\nclassname=#32770\r\n[other]\r\nkey=value\r\n");
  ProcessState state;
  StubPrompts prompts;
  ASSERT_EQ(StartupInit(state, prompts), 1) << "a marker that leads nowhere does not stop the start";
  state.settings.Recurse = 1;
  SaveSettings(state.settings);
  const std::string text = installation.ReadSettings();
  EXPECT_NE(text.find("dllextensions=dll drv"), std::string::npos);
  EXPECT_NE(text.find("lookimportsonly=1"), std::string::npos);
  EXPECT_NE(text.find("key=value"), std::string::npos);
  EXPECT_EQ(text.find("classname"), std::string::npos);
  EXPECT_EQ(text.find("32bitdllpath"), std::string::npos) << "read-only keys are never written";

  // The next run reads what this one wrote.
  ProcessState next;
  StartupInit(next, prompts);
  EXPECT_EQ(next.settings.Recurse, 1);
  EXPECT_EQ(std::string(next.settings.BackupDir), std::string(state.settings.BackupDir));
  EXPECT_EQ(Table(next.settings), (std::vector<std::string>{"dll", "drv", ""}));
}

TEST(SettingsTest, RunningInstanceIsOfferedToTheFrontAndEndsThisOne) {
  for (bool yes : {true, false}) {
    TestInstallation installation;
    FakeRunningInstance other("Tarnwick 32 ver 1.02 beta (c) Pelmorin 1998");
    installation.WriteSettings("[options]\r\nrecurse=1\r\n[currentprocess]\r\nclassname=" + other.marker() + "\r\n");
    const std::string before = installation.ReadSettings();
    ProcessState state;
    StubPrompts prompts(yes);
    EXPECT_EQ(StartupInit(state, prompts), 0);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].first, "Warning");
    EXPECT_EQ(prompts.questions[0].second, "Tarnwick is already running, do you wish to activate it's window?");
    EXPECT_EQ(state.settings.Recurse, 0) << "no setting is read";
    EXPECT_EQ(installation.ReadSettings(), before);
    if (!yes) {
      EXPECT_TRUE(prompts.notes.empty());
      EXPECT_FALSE(other.WasActivated());
    } else {
      // Brought to the front where the platform can; else the user is told.
      EXPECT_TRUE(other.WasActivated() || prompts.notes.size() == 1u);
    }
  }
}

TEST(SettingsTest, WindowWithoutTheMakersNameIsNotAnInstance) {
  TestInstallation installation;
  FakeRunningInstance stranger("Some other dialog");
  installation.WriteSettings("[currentprocess]\r\nclassname=" + stranger.marker() + "\r\n");
  ProcessState state;
  StubPrompts prompts(true);
  EXPECT_EQ(StartupInit(state, prompts), 1);
  EXPECT_TRUE(prompts.questions.empty());
}

TEST(SettingsTest, ExtensionsAreSplitAtBlanks) {
  struct Case {
    const char* value;
    std::vector<std::string> table;
  } cases[] = {
      {"dll drv  exe", {"dll", "drv", "exe", ""}},
      {"dll ", {"dll", ""}},
      {"", {""}},
      {"  dll", {"dll", ""}},
      {"dll\tdrv", {"dll\tdrv", ""}},
  };
  for (const Case& c : cases) {
    Settings settings;
    SplitExtensions(c.value, &settings);
    EXPECT_EQ(Table(settings), c.table) << c.value;
  }
  std::string many;
  for (int i = 0; i < 30; ++i) many += "e" + std::to_string(i) + " ";
  Settings settings;
  SplitExtensions(many.c_str(), &settings);
  EXPECT_EQ(settings.ExtensionTable[26], "e26");
  EXPECT_EQ(settings.ExtensionTable[27], "") << "extensions past the 27th are ignored";
}

TEST(SettingsTest, AppendBackslashAddsOneSeparatorWithinTheBuffer) {
  char path[260] = "lib";
  AppendBackslash(path);
  EXPECT_EQ(std::string(path), std::string("lib") + kPathSeparator);
  AppendBackslash(path);
  EXPECT_EQ(std::string(path), std::string("lib") + kPathSeparator);
  char full[4] = "abc";
  AppendBackslash(full, sizeof full);
  EXPECT_STREQ(full, "abc");
  char empty[8] = "";
  AppendBackslash(empty, sizeof empty);
  EXPECT_STREQ(empty, "");
}

}  // namespace
}  // namespace testbuild
