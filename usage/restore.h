// The restore of backed-up libraries: each library of the backup record goes
// back to the folder it came from under its original name.
#ifndef TARNWICK_USAGE_RESTORE_H
#define TARNWICK_USAGE_RESTORE_H

#include <string>
#include <utility>
#include <vector>

struct ProcessState;

struct RestoreOutcome {
  // Name in the backup folder and the full path it went back to.
  std::vector<std::pair<std::string, std::string>> restored;
  // Name and the reason it was not restored.
  std::vector<std::pair<std::string, std::string>> kept;
  // 0 when everything asked for was restored or there was nothing to do,
  // 1 when something could not be.
  int ExitStatus() const { return kept.empty() ? 0 : 1; }
};

// Restores the libraries named (ASCII case ignored), or every recorded one
// when names is empty, from the state's backup folder. A file that stands at
// a library's origin now is never replaced: that library stays in the backup
// folder and is reported. Every restore is logged and recorded.
RestoreOutcome RestoreBackedUpLibraries(ProcessState& state, const std::vector<std::string>& names);

#endif
