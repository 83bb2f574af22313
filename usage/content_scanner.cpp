#include "usage/content_scanner.h"

#include <algorithm>
#include <cstring>

#include "platform/ascii.h"
#include "usage/candidates.h"
#include "usage/content_match.h"
#include "usage/process_state.h"
#include "usage/usage_records.h"

namespace {

// The bytes the trie's names end with and the bytes before those, as the
// content may hold them (either case).
NameEndFilter EndFilterOf(const ReversedNameTrie& names) {
  NameEndFilter filter;
  for (unsigned last = 1; last < 128; ++last) {
    const std::int32_t node = names.Step(ReversedNameTrie::Root(), static_cast<unsigned char>(last));
    if (node == ReversedNameTrie::kNoNode) continue;
    filter.lastBytes.Add(static_cast<unsigned char>(last));
    for (unsigned before = 1; before < 128; ++before) {
      if (names.Step(node, static_cast<unsigned char>(before)) != ReversedNameTrie::kNoNode) {
        filter.beforeLastBytes.Add(static_cast<unsigned char>(before));
      }
    }
  }
  filter.oneByteNames = names.hasOneByteName();
  filter.lowest = names.lowestByte();
  filter.highest = names.highestByte();
  return filter;
}

}  // namespace

ContentScanner::ContentScanner(const PointerList& candidates) {
  const int count = candidates.GetCount();
  records_.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const CandidateLibrary* candidate = CandidateAt(candidates, i);
    const auto slot = static_cast<std::uint32_t>(i);
    records_[slot] = candidate;
    if (candidate->found == 1) continue;
    ++tableSlots_;
    if (!TablesCanExpress(*candidate)) {
      oneByOne_.push_back(slot);
      continue;
    }
    const auto* name = reinterpret_cast<const unsigned char*>(candidate->name);
    terminatedNames_.Add(name, static_cast<std::size_t>(candidate->baseLength), {slot, false});
    if (candidate->baseLength < candidate->nameLength) {
      terminatedNames_.Add(name, static_cast<std::size_t>(candidate->nameLength), {slot, true});
    }
    namesAnywhere_.Add(name, static_cast<std::size_t>(candidate->baseLength), slot);
  }
  terminatedNames_.Finish();
  namesAnywhere_.Finish();
  nameEnds_ = EndFilterOf(terminatedNames_);
}

void ContentScanner::Find(const std::uint8_t* region, std::uint32_t length, int referenceKind,
                          ContentScratch& scratch, std::vector<std::uint32_t>* slots) const {
  slots->clear();
  if (tableSlots_ == 0) return;
  scratch.region_ = region;
  scratch.length_ = length;
  if (scratch.matchedIn_.size() != records_.size() || ++scratch.fileNumber_ == 0) {
    scratch.matchedIn_.assign(records_.size(), 0);
    scratch.fileNumber_ = 1;
  }
  scratch.matched_.clear();
  for (std::uint32_t slot : oneByOne_) {
    if (ReferenceScanFinds(region, length, *records_[slot], referenceKind)) Take(scratch, slot);
  }
  if (!AllMatched(scratch)) {
    if (referenceKind == REF_EXE_16BIT) {
      ScanNamesAnywhere(scratch);
    } else {
      ScanTerminatedNames(scratch);
    }
  }
  scratch.region_ = nullptr;
  *slots = scratch.matched_;
  std::sort(slots->begin(), slots->end());
}

void ContentScanner::Take(ContentScratch& scratch, std::uint32_t slot) {
  if (scratch.matchedIn_[slot] == scratch.fileNumber_) return;
  scratch.matchedIn_[slot] = scratch.fileNumber_;
  scratch.matched_.push_back(slot);
}

void ContentScanner::ScanTerminatedNames(ContentScratch& scratch) const {
  if (terminatedNames_.empty()) return;
  const std::uint8_t* bytes = scratch.region_;
  const std::uint64_t length = scratch.length_;
  ForEachPossibleNameEnd(bytes, length, nameEnds_, [&](std::uint64_t zero) {
    const unsigned char last = bytes[zero - 1];
    const unsigned char before = zero >= 2 ? bytes[zero - 2] : 0;
    if (terminatedNames_.MayEndWith(zero >= 3 ? bytes[zero - 3] : 0, before, last)) {
      WalkBackEightBit(scratch, zero);
    }
    if (WideBaseNameEnds(bytes, length, zero)) {
      // The characters of a UTF-16 name stand at every other byte, each
      // followed by its zero high byte.
      const unsigned char wideBefore = before == 0 && zero >= 3 ? bytes[zero - 3] : 0;
      const unsigned char wideTwoBefore = wideBefore != 0 && zero >= 5 && bytes[zero - 4] == 0 ? bytes[zero - 5] : 0;
      if (terminatedNames_.MayEndWith(wideTwoBefore, wideBefore, last)) WalkBackWide(scratch, zero);
    }
    return !AllMatched(scratch);
  });
}

// The base name or the whole name, then the zero at zero.
void ContentScanner::WalkBackEightBit(ContentScratch& scratch, std::uint64_t zero) const {
  std::int32_t node = ReversedNameTrie::Root();
  for (std::uint64_t i = zero; i-- > 0;) {
    node = terminatedNames_.Step(node, scratch.region_[i]);
    if (node == ReversedNameTrie::kNoNode) return;
    for (auto* entry = terminatedNames_.EntriesBegin(node); entry != terminatedNames_.EntriesEnd(node); ++entry) {
      Take(scratch, entry->slot);
    }
  }
}

// UTF-16 units whose high byte is zero, the last of which is at zero, and
// the terminator each form needs after them.
void ContentScanner::WalkBackWide(ContentScratch& scratch, std::uint64_t zero) const {
  const std::uint8_t* bytes = scratch.region_;
  const bool wholeNameEnds = WideWholeNameEnds(bytes, scratch.length_, zero);
  std::int32_t node = ReversedNameTrie::Root();
  for (std::uint64_t i = zero - 1;; i -= 2) {
    node = terminatedNames_.Step(node, bytes[i]);
    if (node == ReversedNameTrie::kNoNode) return;
    for (auto* entry = terminatedNames_.EntriesBegin(node); entry != terminatedNames_.EntriesEnd(node); ++entry) {
      if (!entry->wholeName || wholeNameEnds) Take(scratch, entry->slot);
    }
    if (i < 2 || bytes[i - 1] != 0) return;
  }
}

void ContentScanner::ScanNamesAnywhere(ContentScratch& scratch) const {
  if (namesAnywhere_.empty()) return;
  namesAnywhere_.ForEachOccurrence(scratch.region_, scratch.length_, [&](std::uint32_t slot) {
    Take(scratch, slot);
    return !AllMatched(scratch);
  });
}

std::size_t ContentScanner::TableBytes() const {
  const std::size_t perCandidate = sizeof(const CandidateLibrary*) + sizeof(std::uint32_t);
  return terminatedNames_.TableBytes() + namesAnywhere_.TableBytes() + records_.size() * perCandidate +
         oneByOne_.size() * sizeof(std::uint32_t);
}

void ScanContentInOnePass(ProcessState& state, const std::uint8_t* region, std::uint32_t length, const char* path,
                          int referenceKind) {
  const ContentScanner scanner(state.CandidateList);
  ContentScratch scratch;
  std::vector<std::uint32_t> slots;
  scanner.Find(region, length, referenceKind, scratch, &slots);
  const char* fileName = FileNamePart(path);
  for (std::uint32_t slot : slots) {
    const CandidateLibrary* candidate = CandidateAt(state.CandidateList, static_cast<int>(slot));
    if (candidate->found == 1 || EqualIgnoringAsciiCase(candidate->name, fileName)) continue;
    RecordReference(state, static_cast<int>(slot), path, referenceKind);
  }
}
