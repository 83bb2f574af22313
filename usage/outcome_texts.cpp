#include "usage/outcome_texts.h"

namespace {

std::string NameList(const std::vector<std::string>& names, std::size_t maxNames) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < maxNames; ++i) text += (i == 0 ? "" : ", ") + names[i];
  if (names.size() > maxNames) text += " and " + std::to_string(names.size() - maxNames) + " more";
  return text;
}

std::string ReasonLines(const std::vector<std::pair<std::string, std::string>>& kept, std::size_t maxNames) {
  std::string text;
  for (std::size_t i = 0; i < kept.size() && i < maxNames; ++i) {
    text += "  " + kept[i].first + ": " + kept[i].second + "\n";
  }
  if (kept.size() > maxNames) text += "  and " + std::to_string(kept.size() - maxNames) + " more\n";
  return text;
}

}  // namespace

std::string BackupOutcomeText(const BackupOutcome& outcome, std::size_t maxNames) {
  std::string text;
  if (!outcome.wineOwn.empty()) {
    text += "Passed over as Wine's own: " + std::to_string(outcome.wineOwn.size()) + " (" +
            NameList(outcome.wineOwn, maxNames) + ")\n";
  }
  if (!outcome.kept.empty()) {
    text += "Not moved: " + std::to_string(outcome.kept.size()) + "\n" + ReasonLines(outcome.kept, maxNames);
  }
  return text;
}

std::string RestoreOutcomeText(const RestoreOutcome& outcome, std::size_t maxNames) {
  if (outcome.restored.empty() && outcome.kept.empty()) {
    return "Nothing to restore: the backup record names no library in the backup folder.\n";
  }
  std::string text = std::to_string(outcome.restored.size()) + " libraries restored.\n";
  if (!outcome.kept.empty()) {
    text += "Not restored: " + std::to_string(outcome.kept.size()) + "\n" + ReasonLines(outcome.kept, maxNames);
  }
  return text;
}
