// The backup of unused libraries: every candidate no file was found to use
// is moved from the folder it was collected from into the backup folder.
#ifndef TARNWICK_USAGE_BACKUP_H
#define TARNWICK_USAGE_BACKUP_H

struct ProcessState;

// Moves the unused candidates, never replacing a file, and logs the
// "Result :" report of the latest search. Returns the number moved.
int BackupFoundLibraries(ProcessState& state);

#endif
