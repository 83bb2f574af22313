#include "usage/reference_check.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analyze_file.h"
#include "platform/ascii.h"
#include "usage/candidates.h"
#include "usage/content_scanner.h"
#include "usage/evidence_leads.h"
#include "base/pointer_list.h"
#include "usage/process_state.h"
#include "usage/search_view.h"
#include "usage/usage_records.h"

namespace {

void ShowAnalyzing(ProcessState& state, const char* path) {
  if (state.view == nullptr) return;
  state.view->FileChecked(path);
  const std::string text = std::string("Analyzing ") + path;
  state.view->ShowStatus(text.c_str());
}

// The import rule: an imported module name begins with the candidate's base name.
bool BeginsWithBaseName(const char* name, std::size_t length, const CandidateLibrary& candidate) {
  const auto base = static_cast<std::size_t>(candidate.baseLength);
  return length >= base && std::memcmp(name, candidate.name, base) == 0;
}

// A candidate is used when an imported name begins with its base name.
// The marks go out name by name, in the order of the name list, and for
// each name candidate by candidate, as a loop over the names and then over
// the candidates would make them; but each candidate is read once per file,
// and compared only when its first byte begins some imported name.
void MarkImportedCandidates(ProcessState& state, const SortedPointerList& names, const char* path,
                            int referenceKind) {
  struct Imported {
    const char* name;
    std::size_t length;
  };
  std::vector<Imported> imported;
  bool begins[256] = {};
  for (int n = 0; n < names.GetCount(); ++n) {
    const char* name = static_cast<const char*>(names.GetAt(n));
    imported.push_back({name, std::strlen(name)});
    begins[static_cast<unsigned char>(name[0])] = true;
  }
  std::vector<std::pair<int, int>> matches;  // name, candidate
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const CandidateLibrary* candidate = CandidateAt(state.CandidateList, i);
    if (candidate->found == 1) continue;
    if (candidate->baseLength > 0 && !begins[static_cast<unsigned char>(candidate->name[0])]) continue;
    for (std::size_t n = 0; n < imported.size(); ++n) {
      if (BeginsWithBaseName(imported[n].name, imported[n].length, *candidate)) {
        matches.emplace_back(static_cast<int>(n), i);
      }
    }
  }
  std::sort(matches.begin(), matches.end());
  // A candidate marked by an earlier name is passed over for the later ones.
  for (const auto& match : matches) {
    if (CandidateAt(state.CandidateList, match.second)->found == 1) continue;
    RecordReference(state, match.second, path, referenceKind);
  }
}

// Notes, for the evidence pass, the first file that binds each candidate
// not found yet through a forwarder or a delay-load import, by the import
// rule; nothing is marked, so the passes' own results stay as they are.
void NoteLaterBound(ProcessState& state, const SortedPointerList& names, const char* path) {
  EvidenceLeads& leads = state.evidenceLeads;
  leads.hasLaterBound.resize(static_cast<std::size_t>(state.CandidateList.GetCount()), 0);
  const char* fileName = FileNamePart(path);
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const CandidateLibrary* candidate = CandidateAt(state.CandidateList, i);
    if (candidate->found == 1 || leads.hasLaterBound[static_cast<std::size_t>(i)] != 0) continue;
    if (EqualIgnoringAsciiCase(candidate->name, fileName)) continue;
    for (int n = 0; n < names.GetCount(); ++n) {
      const char* name = static_cast<const char*>(names.GetAt(n));
      if (BeginsWithBaseName(name, std::strlen(name), *candidate)) {
        leads.laterBound.push_back({i, path});
        leads.hasLaterBound[static_cast<std::size_t>(i)] = 1;
        break;
      }
    }
  }
}

// Each distinct module name once, released with the list.
void MakeModuleNameList(SortedPointerList& names) {
  names.compare = CompareStrings;
  names.allowDuplicates = 0;
  names.releaseItem = std::free;
}

// Import mode. The content pass's tables are dropped here: every search
// begins with this pass, so its content pass makes tables of its own.
int CheckImports(ProcessState& state, const char* path) {
  ForgetContentScanner(state);
  ++state.ImportTablesSearched;
  if (IsSettingsFilePath(path)) state.evidenceLeads.settingsFiles.push_back(path);
  SortedPointerList names;
  SortedPointerList laterBound;
  MakeModuleNameList(names);
  MakeModuleNameList(laterBound);
  const int referenceKind = ReferenceKindOf(AnalyzeFile(path, nullptr, nullptr, &names, nullptr, &laterBound));
  // Also from a PE file without an import table, which the analysis reports
  // as an error, but whose forwarders and delay-load imports stand.
  if (laterBound.GetCount() > 0) NoteLaterBound(state, laterBound, path);
  if (referenceKind == 0) return 0;
  MarkImportedCandidates(state, names, path, referenceKind);
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

bool ReferenceScanFinds(const std::uint8_t* region, std::uint32_t length, const CandidateLibrary& candidate,
                        int referenceKind) {
  const char stored = candidate.name[0];
  const char passes[2] = {stored, UpperAscii(stored)};
  for (int pass = 0; pass < (passes[1] != passes[0] ? 2 : 1); ++pass) {
    for (std::uint64_t start = 0; start < length;) {
      const void* at = std::memchr(region + start, static_cast<unsigned char>(passes[pass]), length - start);
      if (at == nullptr) break;
      const auto hit = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(at) - region);
      if (MatchesAt(region, length, hit, candidate, referenceKind)) return true;
      start = hit + 1ull;
    }
  }
  return false;
}

void ScanContentReference(ProcessState& state, const std::uint8_t* region, std::uint32_t length,
                          const char* path, int referenceKind) {
  const char* fileName = FileNamePart(path);
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const auto* candidate = CandidateAt(state.CandidateList, i);
    if (candidate->found == 1) continue;
    if (EqualIgnoringAsciiCase(candidate->name, fileName)) continue;
    if (ReferenceScanFinds(region, length, *candidate, referenceKind)) RecordReference(state, i, path, referenceKind);
  }
}

int ScanContent(const std::uint8_t* regionStart, std::uint32_t regionLength, void* context, int kind) {
  if (regionStart == nullptr) return 0;
  const auto* scan = static_cast<const ScanContext*>(context);
  const int referenceKind = ReferenceKindOf(kind);
  if (referenceKind == 0) return 0;
  ++scan->state->FilesSearched;
  ScanContentInOnePass(*scan->state, regionStart, regionLength, scan->path, referenceKind);
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
