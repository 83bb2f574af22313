// The settings file tarnwick.ini: its options, the running-instance marker
// it keeps, and the write-back at the end.
#ifndef TARNWICK_CONFIG_SETTINGS_H
#define TARNWICK_CONFIG_SETTINGS_H

#include <array>
#include <cstddef>
#include <string>

#include "base/version.h"

constexpr const char* kSettingsFile = "tarnwick.ini";
constexpr const char* kMakerName = TARNWICK_MAKER_NAME;
// Where the settings file keeps the running instance's marker.
constexpr const char* kCurrentProcessSection = "currentprocess";
constexpr const char* kClassNameKey = "classname";
// [options] key: the number of threads that read files in a search; 0 or
// none for one per processor.
constexpr const char* kSearchThreadsKey = "searchthreads";
constexpr int kLibraryKind32 = 0x20;
constexpr int kLibraryKind16 = 0x10;
constexpr int kMaxExtensions = 27;

struct Settings {
  char BackupDir[260] = "";
  int Recurse = 0;
  char LibraryDir32[260] = "";
  char LibraryDir16[260] = "";
  int LibraryKindMask = kLibraryKind32;
  // The drive letters to search, or one folder (a path of up to 259
  // characters, read whole: a cut folder would be a different one).
  char DriveSelection[260] = "";
  // The library extensions, without the dot, in the order of the value; the
  // first empty slot ends the table, so at most 27 are used.
  std::array<std::string, kMaxExtensions + 1> ExtensionTable;
  // "backupto" as read, when its folder could not be used here (too long
  // once translated); written back unchanged.
  std::string refusedBackupTo;
  // "searchdrives" as read, when it names a folder too long to be searched
  // (no folder is searched then); written back unchanged.
  std::string refusedSearchDrives;
};

// What start-up needs from the user: the question whether to bring a
// running instance to the front, and a sentence to show.
class StartupPrompts {
 public:
  virtual ~StartupPrompts() = default;
  virtual bool AskYesNo(const char* caption, const char* text) = 0;
  virtual void Inform(const char* text) = 0;
};

// Appends the platform's path separator when the path's last character is
// not one. Does nothing to an empty path or one that fills the buffer.
void AppendBackslash(char* path, std::size_t capacity = 260);

// Fills the table from a "dllextensions" value: blank-separated pieces,
// empty pieces skipped except the last; extensions past the 27th ignored.
void SplitExtensions(const char* value, Settings* settings);

// True when "searchdrives" names one directory rather than drive letters.
bool IsDirectoryForm(const char* driveSelection);

// Looks for a running instance through the marker the settings file keeps;
// returns true when this instance must end (after asking whether to bring
// the other to the front).
bool AnotherInstanceRuns(StartupPrompts& prompts);

// Reads the options of the settings file, each directory translated to this
// platform's form (the default, and a sentence to the user, for one too long
// once translated).
void ReadSettingsFile(Settings& settings, StartupPrompts& prompts);

// Writes the settings back at a normal end and removes the running-instance
// marker.
void SaveSettings(const Settings& settings);

#endif
