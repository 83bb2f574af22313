// Start-up of either edition: the candidate list made ready, the
// single-instance test and the settings read into the process state.
#ifndef TARNWICK_USAGE_STARTUP_H
#define TARNWICK_USAGE_STARTUP_H

#include "config/settings.h"
#include "usage/process_state.h"

// Makes the candidate list, runs the single-instance test and reads the
// settings. Returns 1 to go on, 0 when another instance runs and this one
// must end (after asking whether to bring the other to the front).
int StartupInit(ProcessState& state, StartupPrompts& prompts);

// The reading part of StartupInit alone, without the single-instance test:
// for a run that opens no dialog (the restore of backed-up libraries). A
// "searchdrives" that names a folder becomes the search root.
void ReadSettings(ProcessState& state, StartupPrompts& prompts);

#endif
