#include "usage/drive_search.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "config/log.h"
#include "config/settings.h"
#include "platform/profile.h"
#include "usage/candidates.h"
#include "usage/file_examination.h"
#include "usage/ordered_walk.h"
#include "usage/path_buffer.h"
#include "usage/process_state.h"
#include "usage/reference_check.h"
#include "usage/search_view.h"

namespace {

constexpr int kMostSearchThreads = 64;

// Whether the walk can end: no candidate at all, or every one found. Stops
// at the first candidate not yet found.
bool NothingLeftToFind(const ProcessState& state) {
  const SortedPointerList& list = state.CandidateList;
  for (int i = 0; i < list.GetCount(); ++i) {
    if (CandidateAt(list, i)->found != 1) return false;
  }
  return true;
}

// A walk gives the root folder in its buffer its trailing separator when it
// lists it, and the buffer keeps it.
void TakeFolderSeparator(char* root) {
  if (root[0] != 0) AppendBackslash(root, kPathCapacity);
}

WalkPlan PlanOf(const ProcessState& state) {
  WalkPlan plan;
  if (state.searchRootOverride || IsDirectoryForm(state.settings.DriveSelection)) {
    plan.oneDirectory = true;
    plan.directory = state.SearchRoot;
  } else {
    plan.driveSelection = state.settings.DriveSelection;
  }
  return plan;
}

// Commits the steps of one pass in walk order, doing what a walk that
// checks each file in turn does: the drive and directory lines, each file's
// check, the end of a folder's walk after a file once nothing is left to
// find, and a drive's status once its walk is over.
void CommitPass(ProcessState& state, OrderedWalk& walk, bool importPass) {
  const bool drives = !PlanOf(state).oneDirectory;
  // The depth of the folder whose walk ends at its next end step.
  int endingDepth = -1;
  for (std::size_t index = 0;; ++index) {
    const WalkStep* step = walk.StepAt(index);
    if (step == nullptr) return;
    if (endingDepth >= 0) {
      if (step->kind != WalkStep::kFolderEnd || step->depth != endingDepth) continue;
      endingDepth = -1;
    }
    switch (step->kind) {
      case WalkStep::kDriveStart:
        if (NothingLeftToFind(state)) {
          walk.NoteAllFound();
          return;
        }
        std::snprintf(state.SearchRoot, sizeof state.SearchRoot, "%s", step->path.c_str());
        LogPrintf("Processing Drive : %s (%d dlls left)\n", state.SearchRoot, CandidatesLeft(state));
        TakeFolderSeparator(state.SearchRoot);
        break;
      case WalkStep::kDirectoryStart:
        LogPrintf("Directory : %s\n", state.SearchRoot);
        TakeFolderSeparator(state.SearchRoot);
        break;
      case WalkStep::kFile: {
        const FileFindings& findings = walk.FindingsAt(index);
        if (importPass) {
          CommitImportCheck(state, step->path.c_str(), findings);
        } else {
          CommitContentCheck(state, step->path.c_str(), findings);
        }
        if (NothingLeftToFind(state)) {
          walk.NoteAllFound();
          endingDepth = step->depth;
        }
        break;
      }
      case WalkStep::kFolderEnd:
        if (step->depth == 0 && drives && state.view != nullptr) state.view->ShowStatus(state.SearchRoot);
        break;
    }
  }
}

}  // namespace

int CandidatesLeft(const ProcessState& state) {
  int left = 0;
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    if (CandidateAt(state.CandidateList, i)->found != 1) ++left;
  }
  return left;
}

int SearchThreadCount(const ProcessState& state) {
  int threads = state.searchThreads;
  if (threads <= 0) threads = ProfileReadInt("options", kSearchThreadsKey, 0, kSettingsFile);
  if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(threads, 1, kMostSearchThreads);
}

int RegistryThreadCount(const ProcessState& state) {
  const int threads = SearchThreadCount(state);
  return threads > 1 ? 2 * threads : 1;
}

void SearchDrivesInPasses(ProcessState& state, bool withContentPass) {
  const SearchTables tables(state.CandidateList, withContentPass);
  OrderedWalk walk(tables, PlanOf(state), SearchThreadCount(state));
  state.ImportsOnlyMode = 1;
  CommitPass(state, walk, true);
  if (!withContentPass) return;
  // "perfoming" kept as users have always seen it in the log.
  LogPrintf("Now perfoming the final analysis\n");
  state.ImportsOnlyMode = 0;
  CommitPass(state, walk, false);
}

void SearchDrives(ProcessState& state) {
  const bool importPass = state.ImportsOnlyMode != 0;
  const SearchTables tables(state.CandidateList, !importPass);
  OrderedWalk walk(tables, PlanOf(state), SearchThreadCount(state));
  CommitPass(state, walk, importPass);
}
