#include "config/settings.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/instance.h"
#include "platform/profile.h"
#include "platform/system_dirs.h"

namespace {

constexpr const char* kOptions = "options";
constexpr const char* kDefaultDrives = "CDEFGHIJKLMNOPQRSTUVWXYZ";
// A Windows directory longer than this would leave no room for "\SYSTEM".
constexpr std::size_t kMaxWindowsDirectory = 245;
// A value read whole to tell whether it fits its field.
constexpr int kLongestSetting = 4096;

void CopyBounded(char* out, std::size_t capacity, const std::string& text) {
  std::snprintf(out, capacity, "%s", text.c_str());
}

void AppendBounded(char* out, std::size_t capacity, const char* text) {
  const std::size_t used = std::strlen(out);
  if (used + 1 < capacity) std::snprintf(out + used, capacity - used, "%s", text);
}

// A directory setting: the default when the key is missing or empty (an
// empty path names no directory), translated to this platform's form. A
// path that does not fit the buffer once translated is not cut (a cut path
// names another folder): the default takes its place, the user is told,
// and the value as read is returned in *refused.
void ReadDirectory(const char* key, char* out, const char* defaultPath, StartupPrompts& prompts,
                   std::string* refused = nullptr) {
  char value[260];
  ProfileReadString(kOptions, key, defaultPath, value, sizeof value, kSettingsFile);
  const std::string native = NativePath(value[0] != 0 ? value : defaultPath);
  if (native.size() < 260) {
    CopyBounded(out, 260, native);
    return;
  }
  CopyBounded(out, 260, NativePath(defaultPath));
  if (refused != nullptr) *refused = value;
  const std::string note = std::string("The folder of \"") + key + "\" is too long to be used here (" + value +
                           "); the default folder " + out + " is used instead.";
  prompts.Inform(note.c_str());
}

}  // namespace

bool AnotherInstanceRuns(StartupPrompts& prompts) {
  char marker[260];
  ProfileReadString(kCurrentProcessSection, kClassNameKey, "", marker, sizeof marker, kSettingsFile);
  if (marker[0] == 0) return false;
  const RunningInstance instance = FindRunningInstance(marker);
  if (!instance.found || instance.banner.empty()) return false;
  if (instance.banner.find(kMakerName) == std::string::npos) return false;
  if (prompts.AskYesNo("Warning", "Tarnwick is already running, do you wish to activate it's window?")) {
    const std::string note = ActivateRunningInstance(instance);
    if (!note.empty()) prompts.Inform(note.c_str());
  }
  return true;
}

void AppendBackslash(char* path, std::size_t capacity) {
  const std::size_t length = std::strlen(path);
  if (length == 0 || length + 1 >= capacity) return;
  if (path[length - 1] != kPathSeparator) {
    path[length] = kPathSeparator;
    path[length + 1] = 0;
  }
}

void SplitExtensions(const char* value, Settings* settings) {
  auto& table = settings->ExtensionTable;
  table.fill(std::string());
  int n = 0;
  const char* piece = value;
  for (const char* blank; (blank = std::strchr(piece, ' ')) != nullptr; piece = blank + 1) {
    if (blank != piece) {
      if (n == kMaxExtensions) return;
      table[n++].assign(piece, blank);
    }
  }
  if (n < kMaxExtensions) table[n] = piece;
}

bool IsDirectoryForm(const char* driveSelection) {
  return (driveSelection[0] != 0 && driveSelection[1] == ':') || IsNativeDirectory(driveSelection);
}

void ReadSettingsFile(Settings& s, StartupPrompts& prompts) {
  char fallback[260];
  CopyBounded(fallback, sizeof fallback, CurrentDirectory());
  AppendBackslash(fallback);
  AppendBounded(fallback, sizeof fallback, "BACKUP");
  ReadDirectory("backupto", s.BackupDir, fallback, prompts, &s.refusedBackupTo);

  s.Recurse = ProfileReadInt(kOptions, "recurse", 0, kSettingsFile);

  CopyBounded(fallback, sizeof fallback, SystemDirectory());
  ReadDirectory("32bitdllpath", s.LibraryDir32, fallback, prompts);

  const std::string windows = WindowsDirectory();
  CopyBounded(fallback, sizeof fallback, windows.substr(0, kMaxWindowsDirectory));
  AppendBackslash(fallback);
  AppendBounded(fallback, sizeof fallback, "SYSTEM");
  ReadDirectory("16bitdllpath", s.LibraryDir16, fallback, prompts);

  s.LibraryKindMask = kLibraryKind32;
  if (ProfileReadInt(kOptions, "find16b_dlls", 1, kSettingsFile) != 0) s.LibraryKindMask |= kLibraryKind16;

  char drives[kLongestSetting];
  ProfileReadString(kOptions, "searchdrives", kDefaultDrives, drives, sizeof drives, kSettingsFile);
  CopyBounded(s.DriveSelection, sizeof s.DriveSelection, drives);
  if (std::strlen(drives) >= sizeof s.DriveSelection) {
    // The cut value still reads as a folder, and ReadSettings searches none.
    s.refusedSearchDrives = drives;
  }

  char extensions[110];
  ProfileReadString(kOptions, "dllextensions", "dll", extensions, sizeof extensions, kSettingsFile);
  SplitExtensions(extensions, &s);
}

void SaveSettings(const Settings& s) {
  // A folder refused at start-up goes back as the user wrote it.
  const std::string backupTo = s.refusedBackupTo.empty() ? SettingsPath(s.BackupDir) : s.refusedBackupTo;
  ProfileWriteString(kOptions, "backupto", backupTo.c_str(), kSettingsFile);
  char number[16];
  std::snprintf(number, sizeof number, "%d", s.Recurse);
  ProfileWriteString(kOptions, "recurse", number, kSettingsFile);
  ProfileWriteString(kOptions, "find16b_dlls", s.LibraryKindMask == kLibraryKind32 ? "0" : "1", kSettingsFile);
  const char* drives = s.refusedSearchDrives.empty() ? s.DriveSelection : s.refusedSearchDrives.c_str();
  ProfileWriteString(kOptions, "searchdrives", drives, kSettingsFile);
  ProfileWriteString(kCurrentProcessSection, kClassNameKey, nullptr, kSettingsFile);
  WithdrawRunningInstance();
}
