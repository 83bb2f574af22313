#include "usage/reference_check.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "analysis/analyze_file.h"
#include "platform/ascii.h"
#include "usage/candidates.h"
#include "usage/pointer_list.h"
#include "usage/process_state.h"
#include "usage/search_view.h"
#include "usage/usage_records.h"

namespace {

void ShowAnalyzing(ProcessState& state, const char* path) {
  if (state.view == nullptr) return;
  const std::string text = std::string("Analyzing ") + path;
  state.view->ShowStatus(text.c_str());
}

// Import mode: a candidate is used when an imported name begins with its
// base name. Every candidate is compared with every name, so the order of
// the candidate list does not matter.
int CheckImports(ProcessState& state, const char* path) {
  ++state.ImportTablesSearched;
  SortedPointerList names;
  names.compare = CompareStrings;
  names.allowDuplicates = 0;
  names.releaseItem = std::free;
  const int referenceKind = ReferenceKindOf(AnalyzeFile(path, nullptr, nullptr, &names));
  if (referenceKind == 0) return 0;
  for (int n = 0; n < names.GetCount(); ++n) {
    const char* imported = static_cast<const char*>(names.GetAt(n));
    const std::size_t importedLength = std::strlen(imported);
    for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
      const auto* candidate = static_cast<const CandidateLibrary*>(state.CandidateList.GetAt(i));
      if (candidate->found == 1) continue;
      const auto base = static_cast<std::size_t>(candidate->baseLength);
      if (importedLength >= base && std::memcmp(imported, candidate->name, base) == 0) {
        RecordReference(state, i, path, referenceKind);
      }
    }
  }
  return 1;
}

bool EqualBytesIgnoringAsciiCase(const std::uint8_t* a, const unsigned char* b, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (LowerAsciiByte(a[i]) != LowerAsciiByte(b[i])) return false;
  }
  return true;
}

// Judges the hit at offset hit of the region for one candidate.
bool MatchesAt(const std::uint8_t* region, std::uint32_t length, std::uint32_t hit,
               const CandidateLibrary& candidate, int referenceKind) {
  const std::uint64_t end = length;
  const auto base = static_cast<std::uint64_t>(candidate.baseLength);
  const auto* name = reinterpret_cast<const unsigned char*>(candidate.name);

  // 8-bit form: the base name, then its terminator or its own extension.
  if (hit + base <= end && EqualBytesIgnoringAsciiCase(region + hit, name, base)) {
    if (referenceKind == REF_EXE_16BIT) return true;
    const std::uint64_t after = hit + base;
    if (after >= end) return false;
    if (region[after] == 0) return true;
    if (region[after] != '.') return false;
    const auto extension = static_cast<std::uint64_t>(candidate.nameLength) - base;
    return after + extension < end && EqualBytesIgnoringAsciiCase(region + after, name + base, extension) &&
           region[after + extension] == 0;
  }
  if (referenceKind == REF_EXE_16BIT) return false;

  // UTF-16 form: the base name's units, then a zero unit or the rest of the
  // name with its zero unit.
  const auto wideBase = static_cast<std::uint64_t>(candidate.wideBaseSize);
  if (hit + wideBase > end || !EqualBytesIgnoringAsciiCase(region + hit, candidate.wideName, wideBase)) {
    return false;
  }
  const std::uint64_t e = hit + wideBase;
  if (e >= 1 && e < end && region[e] == 0 && region[e - 1] == 0) return true;
  // The rest of the wide name up to and including its zero unit.
  std::uint64_t rest = 0;
  const auto wideSize = static_cast<std::uint64_t>(candidate.wideSize);
  for (std::uint64_t unit = wideBase; unit + 1 < wideSize; unit += 2) {
    rest += 2;
    if (candidate.wideName[unit] == 0 && candidate.wideName[unit + 1] == 0) break;
  }
  return e + rest <= end && EqualBytesIgnoringAsciiCase(region + e, candidate.wideName + wideBase, rest);
}

}  // namespace

void ScanContentReference(ProcessState& state, const std::uint8_t* region, std::uint32_t length,
                          const char* path, int referenceKind) {
  const char* fileName = FileNamePart(path);
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const auto* candidate = static_cast<const CandidateLibrary*>(state.CandidateList.GetAt(i));
    if (candidate->found == 1) continue;
    if (EqualIgnoringAsciiCase(candidate->name, fileName)) continue;
    const char stored = candidate->name[0];
    const char passes[2] = {stored, UpperAscii(stored)};
    for (int pass = 0; pass < (passes[1] != passes[0] ? 2 : 1); ++pass) {
      bool found = false;
      for (std::uint64_t start = 0; start + static_cast<std::uint64_t>(candidate->wideSize) < length;) {
        const void* at = std::memchr(region + start, static_cast<unsigned char>(passes[pass]), length - start);
        if (at == nullptr) break;
        const auto hit = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(at) - region);
        if (MatchesAt(region, length, hit, *candidate, referenceKind)) {
          RecordReference(state, i, path, referenceKind);
          found = true;
          break;
        }
        start = hit + 1ull;
      }
      if (found) break;
    }
  }
}

int ScanContent(const std::uint8_t* regionStart, std::uint32_t regionLength, void* context, int kind) {
  if (regionStart == nullptr) return 0;
  const auto* scan = static_cast<const ScanContext*>(context);
  const int referenceKind = ReferenceKindOf(kind);
  if (referenceKind == 0) return 0;
  ++scan->state->FilesSearched;
  ScanContentReference(*scan->state, regionStart, regionLength, scan->path, referenceKind);
  return 0;
}

int CheckFile(ProcessState& state, const char* path) {
  ShowAnalyzing(state, path);
  if (state.ImportsOnlyMode == 0) {
    ScanContext context{&state, path};
    return AnalyzeFile(path, ScanContent, &context, nullptr) >= 0 ? 1 : 0;
  }
  return CheckImports(state, path);
}
