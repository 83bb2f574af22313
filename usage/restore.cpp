#include "usage/restore.h"

#include <algorithm>

#include "config/log.h"
#include "platform/ascii.h"
#include "platform/file_ops.h"
#include "usage/backup_record.h"
#include "usage/process_state.h"
#include "usage/search_view.h"

namespace {

void ShowStatus(ProcessState& state, const std::string& text) {
  if (state.view != nullptr) state.view->ShowStatus(text.c_str());
}

const BackupRecordEntry* FindByName(const std::vector<BackupRecordEntry>& libraries, const std::string& name) {
  for (const BackupRecordEntry& entry : libraries) {
    if (EqualIgnoringAsciiCase(entry.name.c_str(), name.c_str())) return &entry;
  }
  return nullptr;
}

// The empty text when the library went back, else the reason it did not.
std::string RestoreOne(const std::string& backupFolder, const BackupRecordEntry& entry) {
  const MoveResult result = MoveFileNoReplace(JoinPath(backupFolder, entry.name), entry.origin);
  if (result.ok()) {
    // Recorded after the move: a crash before this line leaves a "moved"
    // line whose file is gone from the backup folder, which is passed over.
    AppendBackupRecord(backupFolder, kRecordRestored, entry.origin, entry.name);
    return "";
  }
  if (result.failure == kMoveNameTaken) return "a file of that name stands at " + entry.origin + " now";
  if (result.failure == kMoveNotFound) return "its folder is gone (" + entry.origin + ")";
  return MoveFailureText(result);
}

}  // namespace

RestoreOutcome RestoreBackedUpLibraries(ProcessState& state, const std::vector<std::string>& names) {
  RestoreOutcome outcome;
  const std::string backupFolder = state.settings.BackupDir;
  const std::vector<BackupRecordEntry> libraries = RecordedLibraries(backupFolder);
  std::vector<BackupRecordEntry> chosen;
  if (names.empty()) chosen = libraries;
  for (const std::string& name : names) {
    if (FindByName(chosen, name) != nullptr) continue;  // asked twice
    const BackupRecordEntry* entry = FindByName(libraries, name);
    if (entry != nullptr) {
      chosen.push_back(*entry);
    } else if (outcome.kept.end() == std::find_if(outcome.kept.begin(), outcome.kept.end(), [&](const auto& kept) {
                 return EqualIgnoringAsciiCase(kept.first.c_str(), name.c_str());
               })) {
      outcome.kept.emplace_back(name, "not in the backup folder");
      LogPrintf("not restored %s: not in the backup folder\n", name.c_str());
    }
  }
  for (const BackupRecordEntry& entry : chosen) {
    const std::string reason = RestoreOne(backupFolder, entry);
    if (reason.empty()) {
      outcome.restored.emplace_back(entry.name, entry.origin);
      LogPrintf("restored %s to %s\n", entry.name.c_str(), entry.origin.c_str());
      ShowStatus(state, "Restoring " + entry.name.substr(0, 20));
    } else {
      outcome.kept.emplace_back(entry.name, reason);
      LogPrintf("not restored %s: %s\n", entry.name.c_str(), reason.c_str());
      ShowStatus(state, "Not restored " + entry.name + ": " + reason);
    }
  }
  ShowStatus(state, std::to_string(outcome.restored.size()) + " files restored");
  return outcome;
}
