// The passes of one confirmed search, as the search worker runs them, apart
// from what the worker shows on the screen at its end.
#ifndef TARNWICK_USAGE_SEARCH_RUN_H
#define TARNWICK_USAGE_SEARCH_RUN_H

#include <memory>
#include <string>

#include "usage/registry_reading.h"

struct ProcessState;

// The Search command up to its question: empties the list and the
// candidate list, collects the 32-bit library folder and, when enabled, the
// 16-bit one (descending when Recurse is set), and lists every candidate
// with a "?" line.
void CollectAndListCandidates(ProcessState& state);

// Starts reading the registry for the candidates listed (what the evidence
// pass of a search begun now would read), so that it runs while the user is
// asked whether to search; a search begun next takes it over, and one not
// begun stops it when it is dropped. Nothing it reads is shown or logged
// before the search. nullptr when no reading could be started.
std::unique_ptr<RegistryReading> StartRegistryReading(const ProcessState& state);

// Resets the counters, sets SearchRunning, runs the import pass and, unless
// the settings file says "lookimportsonly" (read now, at every search), the
// final content pass, then the evidence pass (usage/evidence_pass.h), which
// runs in every search; then sets SearchCompleted. SearchRunning stays 1: the
// caller clears it once the end of the search is shown. The registry is
// read from `started` when it is given (StartRegistryReading, with the
// candidates unchanged since), else from a reading begun here.
void RunSearchPasses(ProcessState& state, std::unique_ptr<RegistryReading> started = nullptr);

// The closing status text: "done total N files" with the number of
// candidates, found or not.
std::string SearchDoneText(const ProcessState& state);

#endif
