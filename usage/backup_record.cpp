#include "usage/backup_record.h"

#include <cstdio>
#include <ctime>

#include "platform/ascii.h"
#include "platform/file_ops.h"
#include "platform/file_start.h"
#include "platform/system_dirs.h"

namespace {

// A record larger than this is not one of ours; it is read no further.
constexpr long kMaxRecordSize = 64L * 1024 * 1024;

std::string LocalTimeText() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  // Called on the interface thread only, while no search runs.
  const std::tm* local = std::localtime(&now);
  if (local != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return text;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

std::string ReadWholeFile(const std::string& path) {
  // A larger file is no record this program wrote: none is read.
  std::string text;
  ReadFileStart(path, static_cast<std::size_t>(kMaxRecordSize) + 1, &text);
  return text.size() > static_cast<std::size_t>(kMaxRecordSize) ? std::string() : text;
}

// Whether the file is missing, empty or ends with a line end; a line cut by a
// crash leaves it without one.
bool EndsWithLineEnd(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return true;
  bool ends = true;
  if (std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) > 0 && std::fseek(file, -1, SEEK_END) == 0) {
    ends = std::fgetc(file) == '\n';
  }
  std::fclose(file);
  return ends;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == kPathSeparator) return folder + name;
  return folder + kPathSeparator + name;
}

bool Recordable(const std::string& text) { return text.find_first_of("\t\r\n") == std::string::npos; }

bool AppendBackupRecord(const std::string& backupFolder, const char* action, const std::string& origin,
                        const std::string& name) {
  // In Windows form, as the settings file keeps paths: a backup made by one
  // edition can be restored by the other in the same installation.
  const std::string recorded = SettingsPath(origin);
  if (!Recordable(recorded) || !Recordable(name)) return false;
  const std::string path = JoinPath(backupFolder, kBackupRecordName);
  // After a cut line the new one starts on a line of its own.
  const std::string start = EndsWithLineEnd(path) ? "" : "\n";
  return AppendDurably(path, start + LocalTimeText() + "\t" + action + "\t" + recorded + "\t" + name + "\n");
}

std::vector<BackupRecordEntry> ReadBackupRecord(const std::string& backupFolder) {
  const std::string text = ReadWholeFile(JoinPath(backupFolder, kBackupRecordName));
  std::vector<BackupRecordEntry> entries;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() != 4 || fields[2].empty() || fields[3].empty()) continue;
    if (fields[1] != kRecordMoved && fields[1] != kRecordRestored) continue;
    // A name is a plain file name of the backup folder: a hand-edited line
    // never reaches a file outside it.
    if (fields[3].find_first_of("/\\:") != std::string::npos || fields[3] == "." || fields[3] == "..") continue;
    entries.push_back({fields[0], fields[1], NativePath(fields[2]), fields[3]});
  }
  // A last line without its line end was cut by a crash while it was
  // written: its move never began, so it is passed over.
  return entries;
}

std::vector<BackupRecordEntry> RecordedLibraries(const std::string& backupFolder) {
  const std::vector<BackupRecordEntry> entries = ReadBackupRecord(backupFolder);
  std::vector<BackupRecordEntry> libraries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const BackupRecordEntry& entry = entries[i];
    if (entry.action != kRecordMoved) continue;
    bool superseded = false;
    for (std::size_t later = i + 1; later < entries.size() && !superseded; ++later) {
      superseded = EqualIgnoringAsciiCase(entries[later].name.c_str(), entry.name.c_str());
    }
    if (superseded || !PathExists(JoinPath(backupFolder, entry.name))) continue;
    libraries.push_back(entry);
  }
  return libraries;
}
