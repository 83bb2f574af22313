// The passes of one confirmed search, as the search worker runs them, apart
// from what the worker shows on the screen at its end.
#ifndef TARNWICK_USAGE_SEARCH_RUN_H
#define TARNWICK_USAGE_SEARCH_RUN_H

#include <string>

struct ProcessState;

// The Search command up to its question: empties the list and the
// candidate list, collects the 32-bit library folder and, when enabled, the
// 16-bit one (descending when Recurse is set), and lists every candidate
// with a "?" line.
void CollectAndListCandidates(ProcessState& state);

// Resets the counters, sets SearchRunning, runs the import pass and, unless
// the settings file says "lookimportsonly" (read now, at every search), the
// final content pass, then the evidence pass (usage/evidence_pass.h), which
// runs in every search; then sets SearchCompleted. SearchRunning stays 1: the
// caller clears it once the end of the search is shown.
void RunSearchPasses(ProcessState& state);

// The closing status text: "done total N files" with the number of
// candidates, found or not.
std::string SearchDoneText(const ProcessState& state);

#endif
