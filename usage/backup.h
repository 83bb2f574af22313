// The backup of unused libraries: every candidate no file was found to use
// is moved from the folder it was collected from into the backup folder,
// with a line in the backup record for each move.
#ifndef TARNWICK_USAGE_BACKUP_H
#define TARNWICK_USAGE_BACKUP_H

#include <string>
#include <utility>
#include <vector>

struct ProcessState;

// What the backup did with one candidate.
enum class BackupFate { kUsed, kMoved, kKept, kWineOwn };

struct BackupOutcome {
  int moved = 0;
  // By candidate index: what became of it, and for kKept the reason it stays.
  std::vector<std::pair<BackupFate, std::string>> fates;
  // The libraries that stayed where they are, each with its reason.
  std::vector<std::pair<std::string, std::string>> kept;
  // Wine's own libraries, passed over.
  std::vector<std::string> wineOwn;
};

// Moves the unused candidates, never replacing a file and never moving one
// of Wine's own, and logs every library that stays with its reason and the
// "Result :" report of the latest search.
BackupOutcome BackupFoundLibraries(ProcessState& state);

#endif
