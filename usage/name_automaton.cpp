#include "usage/name_automaton.h"

#include <cstring>
#include <deque>

#include "platform/ascii.h"

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

}  // namespace

NameAutomaton::NameAutomaton() { std::memset(classOf_, 0, sizeof classOf_); }

void NameAutomaton::Add(const unsigned char* name, std::size_t length, std::uint32_t slot) {
  if (length == 0) return;
  pending_.push_back({names_.size(), static_cast<std::uint32_t>(length), slot});
  for (std::size_t i = 0; i < length; ++i) names_.push_back(LowerAsciiByte(name[i]));
}

void NameAutomaton::Finish() {
  for (unsigned char folded : names_) {
    if (classOf_[folded] != 0) continue;
    classOf_[folded] = static_cast<std::uint8_t>(classes_++);
    classOf_[static_cast<unsigned char>(UpperAscii(static_cast<char>(folded)))] = classOf_[folded];
  }

  // The trie of the names.
  next_.assign(classes_, kNone);
  ownOutputs_.assign(1, {});
  for (const auto& name : pending_) {
    std::uint32_t state = 0;
    for (std::uint32_t i = 0; i < name.length; ++i) {
      std::uint32_t& edge = next_[static_cast<std::size_t>(state) * classes_ + classOf_[names_[name.first + i]]];
      if (edge == kNone) {
        edge = static_cast<std::uint32_t>(ownOutputs_.size());
        ownOutputs_.emplace_back();
        next_.resize(next_.size() + classes_, kNone);
      }
      state = next_[static_cast<std::size_t>(state) * classes_ + classOf_[names_[name.first + i]]];
    }
    ownOutputs_[state].push_back(name.slot);
  }
  const std::size_t states = ownOutputs_.size();

  // Breadth first, every missing edge takes the edge of the longest proper
  // suffix that is a state (the failure state), whose row is complete by then.
  std::vector<std::uint32_t> failure(states, 0);
  dictionaryLink_.assign(states, 0);
  std::deque<std::uint32_t> queue;
  for (std::uint32_t c = 0; c < classes_; ++c) {
    std::uint32_t& edge = next_[c];
    if (edge == kNone) {
      edge = 0;
    } else {
      queue.push_back(edge);
    }
  }
  while (!queue.empty()) {
    const std::uint32_t state = queue.front();
    queue.pop_front();
    const std::size_t row = static_cast<std::size_t>(state) * classes_;
    const std::size_t failureRow = static_cast<std::size_t>(failure[state]) * classes_;
    for (std::uint32_t c = 0; c < classes_; ++c) {
      std::uint32_t& edge = next_[row + c];
      if (edge == kNone) {
        edge = next_[failureRow + c];
        continue;
      }
      const std::uint32_t child = edge;
      const std::uint32_t suffix = next_[failureRow + c];
      failure[child] = suffix;
      dictionaryLink_[child] = !ownOutputs_[suffix].empty() ? suffix : dictionaryLink_[suffix];
      queue.push_back(child);
    }
  }

  outputBegin_.assign(states + 1, 0);
  reports_.assign(states, 0);
  for (std::size_t s = 0; s < states; ++s) {
    outputBegin_[s] = static_cast<std::uint32_t>(outputs_.size());
    outputs_.insert(outputs_.end(), ownOutputs_[s].begin(), ownOutputs_[s].end());
    reports_[s] = !ownOutputs_[s].empty() || dictionaryLink_[s] != 0;
  }
  outputBegin_[states] = static_cast<std::uint32_t>(outputs_.size());
  std::vector<std::vector<std::uint32_t>>().swap(ownOutputs_);
  std::vector<unsigned char>().swap(names_);
  std::vector<Pending>().swap(pending_);
}

std::size_t NameAutomaton::TableBytes() const {
  return sizeof classOf_ + next_.size() * sizeof(std::uint32_t) + outputBegin_.size() * sizeof(std::uint32_t) +
         outputs_.size() * sizeof(std::uint32_t) + dictionaryLink_.size() * sizeof(std::uint32_t) + reports_.size();
}
