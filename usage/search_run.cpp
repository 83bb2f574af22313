#include "usage/search_run.h"

#include <cstdio>
#include <utility>

#include "config/log.h"
#include "config/settings.h"
#include "platform/profile.h"
#include "usage/candidates.h"
#include "usage/drive_search.h"
#include "usage/evidence_pass.h"
#include "usage/process_state.h"
#include "usage/registry_reading.h"
#include "usage/search_view.h"
#include "usage/usage_records.h"

void CollectAndListCandidates(ProcessState& state) {
  Settings& s = state.settings;
  state.WidestLineLength = 0;
  if (state.view != nullptr) state.view->ClearLines();
  state.CandidateList.Clear();
  if ((s.LibraryKindMask & kLibraryKind32) != 0) {
    state.CurrentLibraryKind = 32;
    CollectCandidates(state, s.LibraryDir32, s.Recurse, state.CandidateList);
  }
  if ((s.LibraryKindMask & kLibraryKind16) != 0) {
    state.CurrentLibraryKind = 16;
    CollectCandidates(state, s.LibraryDir16, s.Recurse, state.CandidateList);
  }
  ListCandidates(state);
}

std::unique_ptr<RegistryReading> StartRegistryReading(const ProcessState& state) {
  try {
    return std::make_unique<RegistryReading>(state);
  } catch (...) {
    // No thread or memory for it now: the question is asked all the same,
    // and the search begins its own reading, where a failure ends the
    // search as any other failure inside it does.
    return nullptr;
  }
}

void RunSearchPasses(ProcessState& state, std::unique_ptr<RegistryReading> started) {
  state.FilesSearched = 0;
  state.ImportTablesSearched = 0;
  state.ReferencedCount = 0;
  state.SearchRunning = 1;
  state.ImportsOnlyMode = 1;
  state.evidenceLeads.Clear();
  const std::unique_ptr<RegistryReading> registry =
      started != nullptr ? std::move(started) : std::make_unique<RegistryReading>(state);
  SearchDrivesInPasses(state, ProfileReadInt("options", "lookimportsonly", 0, kSettingsFile) == 0);
  RunEvidencePass(state, registry.get());
  state.SearchCompleted = 1;
}

std::string SearchDoneText(const ProcessState& state) {
  char text[40];
  std::snprintf(text, sizeof text, "%s total %d files", "done", state.CandidateList.GetCount());
  return text;
}
