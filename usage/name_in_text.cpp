#include "usage/name_in_text.h"

#include <cstring>

#include "platform/ascii.h"
#include "usage/candidates.h"
#include "usage/process_state.h"

bool NameInText::EndsPathPart(unsigned char c) {
  if (c < 0x20 || c == 0x7F) return true;
  return std::strchr("\\/:\"' =,;()[]@<>|*?", c) != nullptr;
}

NameInText::NameInText(const ProcessState& state) {
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const auto* candidate = CandidateAt(state.CandidateList, i);
    if (candidate->found == 1) continue;
    std::string name(candidate->name);
    for (char& c : name) c = LowerAscii(c);
    std::vector<std::string> spellings{name};
    if (candidate->baseLength > 0 && candidate->baseLength < candidate->nameLength) {
      spellings.push_back(name.substr(0, static_cast<std::size_t>(candidate->baseLength)));
    }
    for (const std::string& spelling : spellings) {
      bool plain = true;
      for (char c : spelling) plain = plain && !EndsPathPart(static_cast<unsigned char>(c));
      if (plain) {
        names_[spelling].push_back(i);
      } else {
        spelledWithSeparators_.push_back({spelling, i});
      }
    }
  }
}

bool NameInText::StandsIn(const std::string& text, const std::string& name) {
  if (name.empty() || name.size() > text.size()) return false;
  for (std::size_t at = 0; at + name.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < name.size() && LowerAscii(text[at + i]) == name[i]) ++i;
    if (i < name.size()) continue;
    const bool before = at == 0 || EndsPathPart(static_cast<unsigned char>(text[at - 1]));
    const std::size_t end = at + name.size();
    const bool after = end == text.size() || EndsPathPart(static_cast<unsigned char>(text[end]));
    if (before && after) return true;
  }
  return false;
}
