// The values the program shares across its parts, in one object so that a
// test can make a fresh one; the program keeps one instance.
#ifndef TARNWICK_USAGE_PROCESS_STATE_H
#define TARNWICK_USAGE_PROCESS_STATE_H

#include <atomic>

#include "base/pointer_list.h"
#include "config/settings.h"
#include "usage/evidence_leads.h"

class SearchView;

struct ProcessState {
  ProcessState();

  // The candidate libraries of the latest collection (CandidateLibrary
  // records, released through ReleaseCandidate), in the order collected.
  SortedPointerList CandidateList;
  Settings settings;
  // The root of a directory search, or the drive root being searched.
  char SearchRoot[260] = "";
  // Set when SearchRoot was given for this run alone (a directory named on
  // the command line): the search walks it whatever "searchdrives" holds.
  bool searchRootOverride = false;
  // 32 or 16 while the 32-bit or 16-bit library directory is collected.
  int CurrentLibraryKind = 32;
  int ImportsOnlyMode = 1;
  int FilesSearched = 0;
  int ImportTablesSearched = 0;
  int ReferencedCount = 0;
  int WidestLineLength = 0;
  // Written by a search worker while the interface thread reads them.
  std::atomic<int> SearchRunning{0};
  std::atomic<int> SearchCompleted{0};
  // The status bar and the list; none while there is no window.
  SearchView* view = nullptr;
  // The threads that read files in a search, for this run alone (a command
  // line option, a test); 0 leaves it to the settings file.
  int searchThreads = 0;
  // Noted by the import pass for the evidence pass; emptied by each search.
  EvidenceLeads evidenceLeads;
};

#endif
