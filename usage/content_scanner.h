// The content pass's search of one region for every candidate at once. For
// each region it finds exactly the candidates that the straightforward
// search (ReferenceScanFinds, usage/content_match.h) finds; only the work
// differs: one pass over the bytes, whatever the number of candidates.
//
// In 32-bit programs and registry files every counted name is followed by a
// zero byte (NameEndFilter): the scanner stops only where a run of nonzero
// bytes ends in a zero and walks back from there through a trie of the
// names read backwards, in 8 bits and in UTF-16 at once. In 16-bit programs
// a base name counts wherever it stands; there an automaton of the base
// names runs forwards over every byte. Candidates whose names the tables
// cannot express exactly (TablesCanExpress) are searched the straightforward
// way, one by one.
//
// The tables are made once per search and never change afterwards, so any
// number of threads may scan with them at once, each with its own
// ContentScratch.
#ifndef TARNWICK_USAGE_CONTENT_SCANNER_H
#define TARNWICK_USAGE_CONTENT_SCANNER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "usage/name_automaton.h"
#include "usage/name_end_positions.h"
#include "usage/reversed_name_trie.h"

struct CandidateLibrary;
class PointerList;
struct ProcessState;

// What one thread's scans keep from region to region.
class ContentScratch {
 private:
  friend class ContentScanner;
  const std::uint8_t* region_ = nullptr;
  std::uint64_t length_ = 0;
  // matchedIn_[slot] == fileNumber_ once the slot matched in this region.
  std::vector<std::uint32_t> matchedIn_;
  std::uint32_t fileNumber_ = 0;
  std::vector<std::uint32_t> matched_;
};

class ContentScanner {
 public:
  // Takes the candidates of the list whose found mark is not set; a slot is
  // a candidate's index in the list.
  explicit ContentScanner(const PointerList& candidates);

  // The slots of the candidates the region names, ascending (the list's
  // order, in which the straightforward scan marks them).
  void Find(const std::uint8_t* region, std::uint32_t length, int referenceKind, ContentScratch& scratch,
            std::vector<std::uint32_t>* slots) const;

  // The memory the tables hold: it depends on the candidates only.
  std::size_t TableBytes() const;

 private:
  bool AllMatched(const ContentScratch& scratch) const { return scratch.matched_.size() >= tableSlots_; }
  // Takes slot as matched in this region, once.
  static void Take(ContentScratch& scratch, std::uint32_t slot);
  void ScanTerminatedNames(ContentScratch& scratch) const;
  void ScanNamesAnywhere(ContentScratch& scratch) const;
  void WalkBackEightBit(ContentScratch& scratch, std::uint64_t zero) const;
  void WalkBackWide(ContentScratch& scratch, std::uint64_t zero) const;

  std::vector<const CandidateLibrary*> records_;
  std::size_t tableSlots_ = 0;
  // Searched one by one, the straightforward way.
  std::vector<std::uint32_t> oneByOne_;

  ReversedNameTrie terminatedNames_;
  NameEndFilter nameEnds_;
  NameAutomaton namesAnywhere_;
};

// Searches one region for every candidate of the state not yet found and
// marks what it names through RecordReference, in the list's order, passing
// over a candidate of the file's own name: what a content pass does for one
// file, with tables made for this call.
void ScanContentInOnePass(ProcessState& state, const std::uint8_t* region, std::uint32_t length, const char* path,
                          int referenceKind);

#endif
