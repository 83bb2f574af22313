// The walk over the selected fixed drives, or one directory, handing every
// file to the reference check and ending once every candidate is found.
#ifndef TARNWICK_USAGE_DRIVE_SEARCH_H
#define TARNWICK_USAGE_DRIVE_SEARCH_H

struct ProcessState;

// One pass over what "searchdrives" selects, in the state's current mode.
void SearchDrives(ProcessState& state);

// Walks the directory in path (a 260-character buffer) and its
// subdirectories depth first; on return path ends with the separator.
// Linked directories, virtual file systems and entries whose path would not
// fit are passed over; only regular files are checked.
void SearchDirectory(ProcessState& state, char* path);

// The number of candidates whose found mark is not set.
int CandidatesLeft(const ProcessState& state);

#endif
