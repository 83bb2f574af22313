#include "usage/backup.h"

#include <cstdio>
#include <string>

#include "config/log.h"
#include "platform/file_ops.h"
#include "platform/system_dirs.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/search_view.h"

namespace {

std::string Join(std::string folder, const char* name) {
  if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder + name;
}

void ShowStatus(ProcessState& state, const char* text) {
  if (state.view != nullptr) state.view->ShowStatus(text);
}

}  // namespace

int BackupFoundLibraries(ProcessState& state) {
  int moved = 0;
  char status[40];
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const auto* candidate = static_cast<const CandidateLibrary*>(state.CandidateList.GetAt(i));
    if (candidate->found == 1) continue;
    if (candidate->libraryKind != 16 && candidate->libraryKind != 32) continue;
    // The candidate's own file, from the folder it was collected from; a
    // file of the same name elsewhere in the library folder is never taken.
    const std::string source = Join(candidate->directory, candidate->fileName);
    // Checked for every library, so a backup folder removed meanwhile is made again.
    if (!PathExists(state.settings.BackupDir)) MakeDirectory(state.settings.BackupDir);
    const std::string destination = Join(state.settings.BackupDir, candidate->name);
    std::snprintf(status, sizeof status, "Backuping %.20s", candidate->name);
    if (MoveFileNoReplace(source, destination)) ++moved;
    ShowStatus(state, status);
  }
  std::snprintf(status, sizeof status, "%d files backuped", moved);
  ShowStatus(state, status);
  LogPrintf("Result :\n        %d files searched\n        %d import tables of files searched\n"
            "        %d found unusable\n        %d really moved\n",
            state.FilesSearched, state.ImportTablesSearched, state.ReferencedCount, moved);
  return moved;
}
