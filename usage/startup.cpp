#include "usage/startup.h"

#include <cstdio>
#include <string>

#include "platform/system_dirs.h"
#include "usage/candidates.h"

int StartupInit(ProcessState& state, StartupPrompts& prompts) {
  state.CandidateList.Clear();
  state.CandidateList.releaseItem = ReleaseCandidate;
  state.CandidateList.compare = nullptr;
  state.CandidateList.allowDuplicates = 0;

  if (AnotherInstanceRuns(prompts)) return 0;
  ReadSettings(state, prompts);
  return 1;
}

void ReadSettings(ProcessState& state, StartupPrompts& prompts) {
  ReadSettingsFile(state.settings, prompts);
  if (IsDirectoryForm(state.settings.DriveSelection)) {
    const std::string root = NativePath(state.settings.DriveSelection);
    // Too long as written or once translated: no folder is searched rather
    // than a cut one, and the user is told so.
    if (state.settings.refusedSearchDrives.empty() && root.size() < sizeof state.SearchRoot) {
      std::snprintf(state.SearchRoot, sizeof state.SearchRoot, "%s", root.c_str());
    } else {
      const std::string value = state.settings.refusedSearchDrives.empty() ? std::string(state.settings.DriveSelection)
                                                                            : state.settings.refusedSearchDrives;
      const std::string note = "The folder of \"searchdrives\" is too long to be searched (" + value +
                               "); no folder is searched.";
      prompts.Inform(note.c_str());
    }
  }
}
