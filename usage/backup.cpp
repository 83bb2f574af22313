#include "usage/backup.h"

#include <cstdio>
#include <set>
#include <string>

#include "config/log.h"
#include "platform/file_ops.h"
#include "usage/backup_record.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/search_view.h"
#include "usage/wine_builtin.h"

namespace {

void ShowStatus(ProcessState& state, const std::string& text) {
  if (state.view != nullptr) state.view->ShowStatus(text.c_str());
}

// Moves one library with its record line written first; the empty text when
// it was moved, else the reason it stays.
std::string MoveOne(const std::string& backupFolder, const std::string& source, const std::string& name) {
  // Checked for every library, so a backup folder removed meanwhile is made again.
  if (!PathExists(backupFolder)) MakeDirectory(backupFolder);
  if (!PathExists(backupFolder)) return "the backup folder could not be made";
  const std::string destination = JoinPath(backupFolder, name);
  // Checked before the record line, so a line never names an earlier
  // library's file under a new origin.
  if (NameTaken(destination)) return "name taken in the backup folder";
  if (!Recordable(source)) return "its path cannot be written to the backup record";
  if (!AppendBackupRecord(backupFolder, kRecordMoved, source, name)) return "the backup record could not be written";
  const MoveResult result = MoveFileNoReplace(source, destination);
  if (result.ok()) return "";
  if (result.failure == kMoveNameTaken) return "name taken in the backup folder";
  return MoveFailureText(result);
}

}  // namespace

BackupOutcome BackupFoundLibraries(ProcessState& state) {
  BackupOutcome outcome;
  const std::string backupFolder = state.settings.BackupDir;
  const int abandoned = RemoveAbandonedPartialCopies(backupFolder);
  if (abandoned > 0) LogPrintf("removed %d partial copies an ended backup left\n", abandoned);
  char status[40];
  outcome.fates.assign(static_cast<std::size_t>(state.CandidateList.GetCount()), {BackupFate::kUsed, ""});
  // Both library folders may be one (a Windows 9x layout keeps its 32-bit and
  // 16-bit libraries in SYSTEM): a file listed twice is moved once.
  std::set<std::string> movedSources;
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const auto* candidate = CandidateAt(state.CandidateList, i);
    if (candidate->found == 1) continue;
    if (candidate->libraryKind != 16 && candidate->libraryKind != 32) continue;
    auto& fate = outcome.fates[static_cast<std::size_t>(i)];
    // The candidate's own file, from the folder it was collected from; a
    // file of the same name elsewhere in the library folder is never taken.
    const std::string source = JoinPath(candidate->directory, candidate->fileName);
    if (movedSources.count(source) != 0) {
      fate.first = BackupFate::kMoved;
      continue;
    }
    if (HasWineBuiltinMarker(source)) {
      outcome.wineOwn.push_back(candidate->name);
      fate.first = BackupFate::kWineOwn;
      LogPrintf("passed over %s: Wine's own library\n", source.c_str());
      continue;
    }
    std::snprintf(status, sizeof status, "Backuping %.20s", candidate->name);
    const std::string reason = MoveOne(backupFolder, source, candidate->name);
    if (reason.empty()) {
      ++outcome.moved;
      movedSources.insert(source);
      fate.first = BackupFate::kMoved;
      ShowStatus(state, status);
    } else {
      outcome.kept.emplace_back(candidate->name, reason);
      fate = {BackupFate::kKept, reason};
      LogPrintf("not moved %s: %s\n", source.c_str(), reason.c_str());
      ShowStatus(state, std::string("Not moved ") + candidate->name + ": " + reason);
    }
  }
  if (!outcome.wineOwn.empty()) {
    LogPrintf("%d libraries passed over as Wine's own\n", static_cast<int>(outcome.wineOwn.size()));
  }
  // "backuped" kept as users have always seen it.
  std::snprintf(status, sizeof status, "%d files backuped", outcome.moved);
  ShowStatus(state, status);
  LogPrintf("Result :\n        %d files searched\n        %d import tables of files searched\n"
            "        %d found unusable\n        %d really moved\n",
            state.FilesSearched, state.ImportTablesSearched, state.ReferencedCount, outcome.moved);
  return outcome;
}
