#include "usage/content_scanner.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/ascii.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/reference_check.h"
#include "usage/usage_records.h"

namespace {

// Whether the tables find exactly what the straightforward scan finds for
// this candidate. They hold ASCII names folded to lower case, match bytes
// ignoring the case of A to Z only, and take the UTF-16 form to be the
// 8-bit name with a zero high byte after every character. The scan
// searches for the stored first character and its upper case, so the name
// must be stored in lower case; and its base name must not be empty.
bool TablesCanExpress(const CandidateLibrary& candidate) {
  const int length = candidate.nameLength;
  const int base = candidate.baseLength;
  if (candidate.name == nullptr || candidate.wideName == nullptr) return false;
  if (length < 1 || base < 1 || base > length) return false;
  if (base < length && candidate.name[base] != '.') return false;
  if (candidate.wideSize != 2 * length + 2 || candidate.wideBaseSize != 2 * base) return false;
  for (int i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(candidate.name[i]);
    if (byte == 0 || byte > 0x7F || (byte >= 'A' && byte <= 'Z')) return false;
    if (candidate.wideName[2 * i] != byte || candidate.wideName[2 * i + 1] != 0) return false;
  }
  return candidate.name[length] == 0 && candidate.wideName[2 * length] == 0 && candidate.wideName[2 * length + 1] == 0;
}

}  // namespace

void ScanContentInOnePass(ProcessState& state, const std::uint8_t* region, std::uint32_t length, const char* path,
                          int referenceKind) {
  if (state.contentScanner == nullptr || !state.contentScanner->BuiltFor(state)) {
    state.contentScanner = std::make_shared<ContentScanner>(state);
  }
  state.contentScanner->Scan(state, region, length, path, referenceKind);
}

void ForgetContentScanner(ProcessState& state) { state.contentScanner.reset(); }

ContentScanner::ContentScanner(const ProcessState& state) {
  const int count = state.CandidateList.GetCount();
  records_.resize(static_cast<std::size_t>(count));
  nameStart_.resize(records_.size());
  baseLength_.resize(records_.size());
  done_.assign(records_.size(), 0);
  matchedIn_.assign(records_.size(), 0);
  for (int i = 0; i < count; ++i) {
    const CandidateLibrary* candidate = CandidateAt(state.CandidateList, i);
    const auto slot = static_cast<std::uint32_t>(i);
    records_[slot] = candidate;
    if (candidate->found == 1) {
      done_[slot] = 1;
      continue;
    }
    ++pending_;
    nameStart_[slot] = static_cast<std::uint32_t>(names_.size());
    names_.insert(names_.end(), candidate->name, candidate->name + std::strlen(candidate->name) + 1);
    baseLength_[slot] = candidate->baseLength;
    if (!TablesCanExpress(*candidate)) {
      oneByOne_.push_back(slot);
      continue;
    }
    const auto* name = reinterpret_cast<const unsigned char*>(candidate->name);
    terminatedNames_.Add(name, static_cast<std::size_t>(candidate->baseLength), {slot, false});
    if (candidate->baseLength < candidate->nameLength) {
      terminatedNames_.Add(name, static_cast<std::size_t>(candidate->nameLength), {slot, true});
    }
    automatonSlots_.push_back(slot);
  }
  terminatedNames_.Finish();
  nameEnds_ = {terminatedNames_.lowestByte(), terminatedNames_.highestByte(), terminatedNames_.hasOneByteName()};
}

bool ContentScanner::BuiltFor(const ProcessState& state) const {
  const SortedPointerList& list = state.CandidateList;
  if (static_cast<std::size_t>(list.GetCount()) != records_.size()) return false;
  // The list's element array is public; comparing it directly keeps this
  // test, made for every file, cheap.
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (list.items[i] != records_[i]) return false;
  }
  // A record freed and made again may come back at the same address.
  for (std::size_t i = 0; i < records_.size(); ++i) {
    const CandidateLibrary& candidate = *records_[i];
    if (done_[i] != 0) {
      if (candidate.found != 1) return false;
      continue;
    }
    if (candidate.baseLength != baseLength_[i] || std::strcmp(candidate.name, &names_[nameStart_[i]]) != 0) {
      return false;
    }
  }
  return true;
}

void ContentScanner::Scan(ProcessState& state, const std::uint8_t* region, std::uint32_t length, const char* path,
                          int referenceKind) {
  if (pending_ == 0) return;
  region_ = region;
  length_ = length;
  if (++fileNumber_ == 0) {
    std::fill(matchedIn_.begin(), matchedIn_.end(), 0);
    fileNumber_ = 1;
  }
  matched_.clear();
  for (std::uint32_t slot : oneByOne_) {
    if (done_[slot] != 0 || records_[slot]->found == 1) continue;
    if (ReferenceScanFinds(region, length, *records_[slot], referenceKind)) {
      matchedIn_[slot] = fileNumber_;
      matched_.push_back(slot);
    }
  }
  if (!AllMatched()) {
    if (referenceKind == REF_EXE_16BIT) {
      ScanNamesAnywhere();
    } else {
      ScanTerminatedNames();
    }
  }
  RecordMatches(state, path, referenceKind);
  region_ = nullptr;
}

void ContentScanner::Take(std::uint32_t slot) {
  if (done_[slot] != 0 || matchedIn_[slot] == fileNumber_) return;
  matchedIn_[slot] = fileNumber_;
  matched_.push_back(slot);
}

void ContentScanner::ScanTerminatedNames() {
  if (terminatedNames_.empty()) return;
  ForEachPossibleNameEnd(region_, length_, nameEnds_, [this](std::uint64_t zero) {
    const std::uint8_t* bytes = region_;
    const unsigned char last = bytes[zero - 1];
    const unsigned char before = zero >= 2 ? bytes[zero - 2] : 0;
    if (terminatedNames_.MayEndWith(zero >= 3 ? bytes[zero - 3] : 0, before, last)) WalkBackEightBit(zero);
    if (zero + 1 < length_ && bytes[zero + 1] == 0) {
      // The characters of a UTF-16 name stand at every other byte, each
      // followed by its zero high byte.
      const unsigned char wideBefore = before == 0 && zero >= 3 ? bytes[zero - 3] : 0;
      const unsigned char wideTwoBefore = wideBefore != 0 && zero >= 5 && bytes[zero - 4] == 0 ? bytes[zero - 5] : 0;
      if (terminatedNames_.MayEndWith(wideTwoBefore, wideBefore, last)) WalkBackWide(zero);
    }
    return !AllMatched();
  });
}

// The base name or the whole name, then the zero at zero.
void ContentScanner::WalkBackEightBit(std::uint64_t zero) {
  std::int32_t node = ReversedNameTrie::Root();
  for (std::uint64_t i = zero; i-- > 0;) {
    node = terminatedNames_.Step(node, region_[i]);
    if (node == ReversedNameTrie::kNoNode) return;
    for (auto* entry = terminatedNames_.EntriesBegin(node); entry != terminatedNames_.EntriesEnd(node); ++entry) {
      Take(entry->slot);
    }
  }
}

// UTF-16 units whose high byte is zero, the last of which is at zero, then
// one zero byte after the base name, or two after the whole name.
void ContentScanner::WalkBackWide(std::uint64_t zero) {
  const bool twoZerosFollow = zero + 2 < length_ && region_[zero + 2] == 0;
  std::int32_t node = ReversedNameTrie::Root();
  for (std::uint64_t i = zero - 1;; i -= 2) {
    node = terminatedNames_.Step(node, region_[i]);
    if (node == ReversedNameTrie::kNoNode) return;
    for (auto* entry = terminatedNames_.EntriesBegin(node); entry != terminatedNames_.EntriesEnd(node); ++entry) {
      if (!entry->wholeName || twoZerosFollow) Take(entry->slot);
    }
    if (i < 2 || region_[i - 1] != 0) return;
  }
}

void ContentScanner::ScanNamesAnywhere() {
  if (!automatonBuilt_) {
    for (std::uint32_t slot : automatonSlots_) {
      const CandidateLibrary& candidate = *records_[slot];
      namesAnywhere_.Add(reinterpret_cast<const unsigned char*>(candidate.name),
                         static_cast<std::size_t>(candidate.baseLength), slot);
    }
    namesAnywhere_.Finish();
    automatonBuilt_ = true;
  }
  if (namesAnywhere_.empty()) return;
  namesAnywhere_.ForEachOccurrence(region_, length_, [this](std::uint32_t slot) {
    Take(slot);
    return !AllMatched();
  });
}

// In list order, as the straightforward scan marks them; a candidate marked
// meanwhile, or bearing the file's own name, is passed over as it would be.
void ContentScanner::RecordMatches(ProcessState& state, const char* path, int referenceKind) {
  std::sort(matched_.begin(), matched_.end());
  const char* fileName = FileNamePart(path);
  for (std::uint32_t slot : matched_) {
    const CandidateLibrary* candidate = records_[slot];
    if (candidate->found != 1) {
      if (EqualIgnoringAsciiCase(candidate->name, fileName)) continue;
      RecordReference(state, static_cast<int>(slot), path, referenceKind);
      if (candidate->found != 1) continue;
    }
    done_[slot] = 1;
    --pending_;
  }
}

std::size_t ContentScanner::TableBytes() const {
  const std::size_t perCandidate = sizeof(const CandidateLibrary*) + sizeof(std::uint32_t) + sizeof(int) +
                                   sizeof(std::uint8_t) + sizeof(std::uint32_t);
  return terminatedNames_.TableBytes() + namesAnywhere_.TableBytes() + records_.size() * perCandidate +
         names_.size() + (oneByOne_.size() + automatonSlots_.size() + matched_.capacity()) * sizeof(std::uint32_t);
}
