// A forward automaton of many names (Aho-Corasick) over bytes with the ASCII
// letters folded to lower case. It serves the content of 16-bit programs,
// where a base name counts wherever it stands and whatever follows it, so
// that no terminator marks where to look: one step per content byte finds
// every occurrence of every name.
#ifndef TARNWICK_USAGE_NAME_AUTOMATON_H
#define TARNWICK_USAGE_NAME_AUTOMATON_H

#include <cstddef>
#include <cstdint>
#include <vector>

class NameAutomaton {
 public:
  NameAutomaton();

  // Adds a name of at least one byte, which stands for slot.
  void Add(const unsigned char* name, std::size_t length, std::uint32_t slot);
  // Computes the transitions. Nothing may be added afterwards.
  void Finish();

  bool empty() const { return outputs_.empty(); }
  std::size_t TableBytes() const;

  // Calls found(slot) for every occurrence of a name in the bytes, in the
  // order of their ends; stops as soon as found returns false.
  template <class Found>
  void ForEachOccurrence(const std::uint8_t* bytes, std::uint64_t length, Found&& found) const {
    // The tables at hand in locals: found may write to memory, and without
    // them the compiler would load them again for every byte.
    const std::uint32_t* next = next_.data();
    const std::uint8_t* reports = reports_.data();
    const std::size_t classes = classes_;
    std::uint32_t state = 0;
    for (std::uint64_t i = 0; i < length; ++i) {
      state = next[state * classes + classOf_[bytes[i]]];
      if (!reports[state]) continue;
      for (std::uint32_t s = state; s != 0; s = dictionaryLink_[s]) {
        for (std::uint32_t o = outputBegin_[s]; o < outputBegin_[s + 1]; ++o) {
          if (!found(outputs_[o])) return;
        }
      }
    }
  }

 private:
  // A name added and not yet laid out: its folded bytes in names_.
  struct Pending {
    std::size_t first;
    std::uint32_t length;
    std::uint32_t slot;
  };

  // Content bytes map to classes: 0 for bytes no name holds, one class for
  // each folded byte that some name holds.
  std::uint8_t classOf_[256];
  std::uint32_t classes_ = 1;
  // next_[state * classes_ + class]; while names are added, only the trie
  // edges are set (others are kNone).
  std::vector<std::uint32_t> next_;
  std::vector<std::vector<std::uint32_t>> ownOutputs_;
  // Laid out by Finish: a state's own outputs (the slots of the names that
  // end there), the nearest shorter state
  // (by suffix) that has outputs of its own, and whether the state reports
  // anything at all.
  std::vector<std::uint32_t> outputBegin_;
  std::vector<std::uint32_t> outputs_;
  std::vector<std::uint32_t> dictionaryLink_;
  std::vector<std::uint8_t> reports_;
  std::vector<unsigned char> names_;  // every name's folded bytes, kept until Finish
  std::vector<Pending> pending_;
};

#endif
