// What the user reads after a backup or a restore: the libraries that stayed
// with their reasons, and Wine's own libraries that the backup passed over.
// Both editions show these texts; the dialog cuts the lists short (the log
// has every name), the console edition shows them whole.
#ifndef TARNWICK_USAGE_OUTCOME_TEXTS_H
#define TARNWICK_USAGE_OUTCOME_TEXTS_H

#include <cstddef>
#include <string>

#include "usage/backup.h"
#include "usage/restore.h"

constexpr std::size_t kAllNames = static_cast<std::size_t>(-1);

// Lines ending in a line break, at most maxNames names in each list; empty
// when every unused library was moved.
std::string BackupOutcomeText(const BackupOutcome& outcome, std::size_t maxNames);

// "N libraries restored." and what was not, with the reasons; or that there
// was nothing to restore.
std::string RestoreOutcomeText(const RestoreOutcome& outcome, std::size_t maxNames);

#endif
