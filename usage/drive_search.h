// The walk over the selected fixed drives, or one directory, handing every
// file to the reference check and ending once every candidate is found.
#ifndef TARNWICK_USAGE_DRIVE_SEARCH_H
#define TARNWICK_USAGE_DRIVE_SEARCH_H

struct ProcessState;

// The import pass over what "searchdrives" selects (or the directory of a
// search root given for this run) and, when withContentPass is set, the
// content pass over the same walk, each file read once by one of the
// search's threads. Every list line, log line, counter, status text and
// early end is that of the import pass followed by the content pass, each
// checking one file after the other in walk order. ImportsOnlyMode is 0
// during the content pass and stays so.
void SearchDrivesInPasses(ProcessState& state, bool withContentPass);

// One pass over the same, in the state's current mode.
void SearchDrives(ProcessState& state);

// The number of candidates whose found mark is not set.
int CandidatesLeft(const ProcessState& state);

// The threads that read files in a search: the state's searchThreads when
// set, else the "searchthreads" setting, else (0 or none) one per processor.
int SearchThreadCount(const ProcessState& state);

// The threads that read the live registry: twice the search's threads (one
// alone stays one). They spend their time waiting for the registry's
// replies (under Wine each is a round trip to the Wine server), so more of
// them than processors keep the replies coming; the registry takes 8 at
// most.
int RegistryThreadCount(const ProcessState& state);

#endif
