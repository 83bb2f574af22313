#include "usage/reference_check.h"

#include <string>

#include "platform/ascii.h"
#include "usage/candidates.h"
#include "usage/content_match.h"
#include "usage/evidence_leads.h"
#include "usage/file_examination.h"
#include "usage/file_findings.h"
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

bool IsFound(const ProcessState& state, std::uint32_t candidate) {
  return CandidateAt(state.CandidateList, static_cast<int>(candidate))->found == 1;
}

// Notes, for the evidence pass, the first file that binds each candidate
// not found yet through a forwarder or a delay-load import; nothing is
// marked, so the passes' own results stay as they are.
void NoteLaterBound(ProcessState& state, const FileFindings& findings, const char* path) {
  EvidenceLeads& leads = state.evidenceLeads;
  leads.hasLaterBound.resize(static_cast<std::size_t>(state.CandidateList.GetCount()), 0);
  for (std::uint32_t candidate : findings.laterBound) {
    if (IsFound(state, candidate) || leads.hasLaterBound[candidate] != 0) continue;
    leads.laterBound.push_back({static_cast<int>(candidate), path});
    leads.hasLaterBound[candidate] = 1;
  }
}

}  // namespace

int CommitImportCheck(ProcessState& state, const char* path, const FileFindings& findings) {
  ShowAnalyzing(state, path);
  ++state.ImportTablesSearched;
  if (findings.settingsFile) state.evidenceLeads.settingsFiles.push_back(path);
  if (!findings.laterBound.empty()) NoteLaterBound(state, findings, path);
  const int referenceKind = ReferenceKindOf(findings.importResult);
  if (referenceKind == 0) return 0;
  // A candidate marked by an earlier name is passed over for the later ones.
  for (std::uint32_t candidate : findings.importMarks) {
    if (IsFound(state, candidate)) continue;
    RecordReference(state, static_cast<int>(candidate), path, referenceKind);
  }
  return 1;
}

int CommitContentCheck(ProcessState& state, const char* path, const FileFindings& findings) {
  ShowAnalyzing(state, path);
  if (findings.contentKind != 0) {
    ++state.FilesSearched;
    for (std::uint32_t candidate : findings.contentMarks) {
      if (IsFound(state, candidate)) continue;
      RecordReference(state, static_cast<int>(candidate), path, findings.contentKind);
    }
  }
  return findings.contentResult >= 0 ? 1 : 0;
}

int CheckFile(ProcessState& state, const char* path) {
  const bool importMode = state.ImportsOnlyMode != 0;
  const SearchTables tables(state.CandidateList, !importMode);
  ExamScratch scratch;
  FileFindings findings;
  ExamineFile(tables, path, scratch, &findings);
  return importMode ? CommitImportCheck(state, path, findings) : CommitContentCheck(state, path, findings);
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
