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
    // Too long once translated: no folder is searched rather than a cut one.
    if (root.size() < sizeof state.SearchRoot) std::snprintf(state.SearchRoot, sizeof state.SearchRoot, "%s", root.c_str());
  }
}
