// The content pass's search of one region for every remaining candidate at
// once. It finds, for each file, exactly the candidates that the
// straightforward scan (ScanContentReference) finds, and marks them through
// RecordReference in the same order with the same arguments; only the work
// differs: one pass over the bytes, whatever the number of candidates.
//
// In 32-bit programs and registry files every counted name is followed by a
// zero byte (NameEndFilter): the scanner stops only where a run of nonzero
// bytes ends in a zero and walks back from there through a trie of the
// remaining names read backwards, in 8 bits and in UTF-16 at once. In
// 16-bit programs a base name counts wherever it stands; there an automaton
// of the base names runs forwards over every byte.
//
// Like the straightforward scan, it counts a name wherever it stands, also
// in the last bytes of the region and in a region no longer than the name,
// as long as the name's bytes and the terminator it needs lie inside the
// region. Candidates whose names the tables cannot express exactly (bytes
// outside ASCII, upper-case letters, a name that is all extension) are
// searched the straightforward way, one by one.
#ifndef TARNWICK_USAGE_CONTENT_SCANNER_H
#define TARNWICK_USAGE_CONTENT_SCANNER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "usage/name_automaton.h"
#include "usage/name_end_positions.h"
#include "usage/reversed_name_trie.h"

struct CandidateLibrary;
struct ProcessState;

// Searches the region for every candidate not yet found and marks what it
// refers to, as ScanContentReference would. The tables are built once per
// content pass, by the first file that needs them, from the candidates
// not found by then, and kept in the state (contentScanner).
void ScanContentInOnePass(ProcessState& state, const std::uint8_t* region, std::uint32_t length, const char* path,
                          int referenceKind);

// Drops the state's tables, so that the next content scan builds them from
// the candidates then not found. Every check in import mode does this,
// since every search begins with its import pass.
void ForgetContentScanner(ProcessState& state);

class ContentScanner {
 public:
  // Takes the candidates of the state's list whose found mark is not set.
  explicit ContentScanner(const ProcessState& state);

  // Whether the tables still describe this list: the same records in the
  // same places, holding the same names, and every candidate left out (found
  // before the tables were made, or marked since) still found. A list
  // collected again, or changed, needs new tables.
  bool BuiltFor(const ProcessState& state) const;

  void Scan(ProcessState& state, const std::uint8_t* region, std::uint32_t length, const char* path,
            int referenceKind);

  // The memory the tables hold: it depends on the candidates only.
  std::size_t TableBytes() const;

 private:
  bool AllMatched() const { return matched_.size() >= pending_; }
  // Takes slot as matched in this region, once.
  void Take(std::uint32_t slot);
  void ScanTerminatedNames();
  void ScanNamesAnywhere();
  void WalkBackEightBit(std::uint64_t zero);
  void WalkBackWide(std::uint64_t zero);
  void RecordMatches(ProcessState& state, const char* path, int referenceKind);

  std::vector<const CandidateLibrary*> records_;
  // What the tables were made from: each candidate's name with its
  // terminator (nameStart_[slot] in names_) and its lengths.
  std::vector<char> names_;
  std::vector<std::uint32_t> nameStart_;
  std::vector<int> baseLength_;
  // Set for a candidate found before the tables were built, or marked since.
  std::vector<std::uint8_t> done_;
  std::size_t pending_ = 0;
  // Searched one by one, the straightforward way.
  std::vector<std::uint32_t> oneByOne_;

  ReversedNameTrie terminatedNames_;
  NameEndFilter nameEnds_{1, 0, false};
  // Built when the pass meets its first 16-bit program.
  std::vector<std::uint32_t> automatonSlots_;
  bool automatonBuilt_ = false;
  NameAutomaton namesAnywhere_;

  // The region being scanned, and what it matched so far.
  const std::uint8_t* region_ = nullptr;
  std::uint64_t length_ = 0;
  std::vector<std::uint32_t> matchedIn_;
  std::uint32_t fileNumber_ = 0;
  std::vector<std::uint32_t> matched_;
};

#endif
