// The record of the backup folder: one line per move into the folder and one
// per restore out of it, so that every backup can be undone.
//
// A line is "time<TAB>action<TAB>original full path<TAB>name in the backup
// folder", the action "moved" or "restored"; the path is written in Windows
// form (platform/system_dirs.h SettingsPath) and read back as this platform
// opens it, so both editions share one record. Lines are only ever appended,
// each on disk before the call returns: the line of a move is written before
// the move, the line of a restore after it. A crash at any point therefore
// leaves at worst a "moved" line whose file is not in the backup folder (the
// move never happened, or the restore did), and such a line is passed over.
#ifndef TARNWICK_USAGE_BACKUP_RECORD_H
#define TARNWICK_USAGE_BACKUP_RECORD_H

#include <string>
#include <vector>

// The record's file name: no library extension, so it is never counted or
// collected as a library.
constexpr const char* kBackupRecordName = "tarnwick-backup-record.txt";
constexpr const char* kRecordMoved = "moved";
constexpr const char* kRecordRestored = "restored";

struct BackupRecordEntry {
  std::string time;
  std::string action;
  std::string origin;
  std::string name;
};

// folder and name with one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// Whether a path can stand in a line of the record (no tab, no line break).
bool Recordable(const std::string& text);

// Appends one line to the record of backupFolder; true once it is on disk.
bool AppendBackupRecord(const std::string& backupFolder, const char* action, const std::string& origin,
                        const std::string& name);

// Every well-formed line of the record, in order; none when there is no
// record. Lines that are cut or malformed are passed over.
std::vector<BackupRecordEntry> ReadBackupRecord(const std::string& backupFolder);

// The libraries that the backup folder holds by the record: for each name
// (ASCII case ignored, as Windows names files) its last line, when that is a
// move and a file of that name stands in the folder now. In record order.
std::vector<BackupRecordEntry> RecordedLibraries(const std::string& backupFolder);

#endif
