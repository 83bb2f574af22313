#include "usage/drive_search.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/log.h"
#include "config/settings.h"
#include "platform/directory.h"
#include "platform/drives.h"
#include "usage/candidates.h"
#include "usage/path_buffer.h"
#include "usage/process_state.h"
#include "usage/reference_check.h"
#include "usage/search_view.h"

namespace {

// Whether the walk can end: no candidate at all, or every one found. Stops
// at the first candidate not yet found.
bool NothingLeftToFind(const ProcessState& state) {
  const SortedPointerList& list = state.CandidateList;
  for (int i = 0; i < list.GetCount(); ++i) {
    if (CandidateAt(list, i)->found != 1) return false;
  }
  return true;
}

}  // namespace

int CandidatesLeft(const ProcessState& state) {
  int left = 0;
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    if (CandidateAt(state.CandidateList, i)->found != 1) ++left;
  }
  return left;
}

void SearchDirectory(ProcessState& state, char* path) {
  std::size_t length;
  std::vector<DirectoryEntry> entries;
  // A folder that cannot be listed is passed over.
  if (!ListFolder(path, &length, &entries).ok()) return;
  for (const DirectoryEntry& entry : entries) {
    if (entry.isDirectory) {
      if (entry.name[0] == '.' || entry.isLink) continue;
      if (!AppendEntryName(path, length, entry.name, true)) continue;
      if (!IsVirtualFileSystem(path)) SearchDirectory(state, path);
      path[length] = 0;
      continue;
    }
    if (!entry.isRegularFile || !AppendEntryName(path, length, entry.name, false)) continue;
    CheckFile(state, path);
    path[length] = 0;
    if (NothingLeftToFind(state)) return;
  }
}

void SearchDrives(ProcessState& state) {
  const char* selection = state.settings.DriveSelection;
  if (state.searchRootOverride || IsDirectoryForm(selection)) {
    LogPrintf("Directory : %s\n", state.SearchRoot);
    SearchDirectory(state, state.SearchRoot);
    return;
  }
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    if (std::strchr(selection, letter) == nullptr) continue;
    if (NothingLeftToFind(state)) return;
    const std::string root = DriveRoot(letter);
    if (!IsFixedDrive(letter) || root.size() >= kPathCapacity) continue;
    std::snprintf(state.SearchRoot, sizeof state.SearchRoot, "%s", root.c_str());
    LogPrintf("Processing Drive : %s (%d dlls left)\n", state.SearchRoot, CandidatesLeft(state));
    SearchDirectory(state, state.SearchRoot);
    if (state.view != nullptr) state.view->ShowStatus(state.SearchRoot);
  }
}
