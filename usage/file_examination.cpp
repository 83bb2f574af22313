#include "usage/file_examination.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "analysis/analyze_file.h"
#include "base/pointer_list.h"
#include "platform/ascii.h"
#include "usage/candidates.h"
#include "usage/evidence_leads.h"
#include "usage/usage_records.h"

namespace {

// The import rule: an imported module name begins with the candidate's base name.
bool BeginsWithBaseName(const char* name, std::size_t length, const SearchTables::Name& candidate) {
  const auto base = static_cast<std::size_t>(candidate.baseLength);
  return length >= base && std::memcmp(name, candidate.name, base) == 0;
}

// Each distinct module name once, released with the list.
void MakeModuleNameList(SortedPointerList& names) {
  names.compare = CompareStrings;
  names.allowDuplicates = 0;
  names.releaseItem = std::free;
}

// The candidates the imported names bind, name by name in the order of the
// name list and for each name candidate by candidate, as a loop over the
// names and then over the candidates would mark them; a candidate is
// compared only when its first byte begins some imported name.
void FindImportMarks(const SearchTables& tables, const SortedPointerList& names, std::vector<std::uint32_t>* marks) {
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
  std::vector<std::pair<std::uint32_t, std::uint32_t>> matches;  // name, candidate
  const std::vector<SearchTables::Name>& candidates = tables.names();
  for (std::uint32_t i = 0; i < candidates.size(); ++i) {
    const SearchTables::Name& candidate = candidates[i];
    if (candidate.name == nullptr) continue;
    if (candidate.baseLength > 0 && !begins[static_cast<unsigned char>(candidate.name[0])]) continue;
    for (std::uint32_t n = 0; n < imported.size(); ++n) {
      if (BeginsWithBaseName(imported[n].name, imported[n].length, candidate)) matches.emplace_back(n, i);
    }
  }
  std::sort(matches.begin(), matches.end());
  for (const auto& match : matches) marks->push_back(match.second);
}

// The candidates some forwarder or delay-load import binds, by the import
// rule; never a library of the file's own name.
void FindLaterBound(const SearchTables& tables, const SortedPointerList& names, const char* fileName,
                    std::vector<std::uint32_t>* bound) {
  const std::vector<SearchTables::Name>& candidates = tables.names();
  for (std::uint32_t i = 0; i < candidates.size(); ++i) {
    const SearchTables::Name& candidate = candidates[i];
    if (candidate.name == nullptr || EqualIgnoringAsciiCase(candidate.name, fileName)) continue;
    for (int n = 0; n < names.GetCount(); ++n) {
      const char* name = static_cast<const char*>(names.GetAt(n));
      if (BeginsWithBaseName(name, std::strlen(name), candidate)) {
        bound->push_back(i);
        break;
      }
    }
  }
}

struct ContentContext {
  const SearchTables* tables;
  ExamScratch* scratch;
  FileFindings* findings;
  const char* fileName;
};

int OnContent(const std::uint8_t* region, std::uint32_t length, void* context, int kind) {
  if (region == nullptr) return 0;
  auto* c = static_cast<ContentContext*>(context);
  const int referenceKind = ReferenceKindOf(kind);
  c->findings->contentKind = referenceKind;
  if (referenceKind == 0) return 0;
  c->tables->content()->Find(region, length, referenceKind, c->scratch->content, &c->scratch->slots);
  for (std::uint32_t slot : c->scratch->slots) {
    // A file never uses a library of its own name.
    if (EqualIgnoringAsciiCase(c->tables->names()[slot].name, c->fileName)) continue;
    c->findings->contentMarks.push_back(slot);
  }
  return 0;
}

}  // namespace

SearchTables::SearchTables(const PointerList& candidates, bool withContent) {
  names_.resize(static_cast<std::size_t>(candidates.GetCount()), Name{nullptr, 0});
  for (int i = 0; i < candidates.GetCount(); ++i) {
    const CandidateLibrary* candidate = CandidateAt(candidates, i);
    if (candidate->found == 1) continue;
    names_[static_cast<std::size_t>(i)] = {candidate->name, candidate->baseLength};
  }
  if (withContent) content_ = std::make_unique<ContentScanner>(candidates);
}

void ExamineFile(const SearchTables& tables, const char* path, ExamScratch& scratch, FileFindings* findings) {
  *findings = FileFindings{};
  findings->settingsFile = IsSettingsFilePath(path);
  SortedPointerList names;
  SortedPointerList laterBound;
  MakeModuleNameList(names);
  MakeModuleNameList(laterBound);
  const char* fileName = FileNamePart(path);
  ContentContext context{&tables, &scratch, findings, fileName};
  const BothPassesResult result = AnalyzeFileForBothPasses(
      path, &scratch.buffer, tables.withContent() ? OnContent : nullptr, &context, &names, &laterBound);
  findings->importResult = result.importPass;
  findings->contentResult = result.contentPass;
  // Also from a PE file without an import table, which the analysis reports
  // as an error, but whose forwarders and delay-load imports stand.
  if (laterBound.GetCount() > 0) FindLaterBound(tables, laterBound, fileName, &findings->laterBound);
  if (ReferenceKindOf(result.importPass) != 0) FindImportMarks(tables, names, &findings->importMarks);
}
