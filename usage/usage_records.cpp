#include "usage/usage_records.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "analysis/analyze_file.h"
#include "base/format.h"
#include "config/log.h"
#include "platform/ascii.h"
#include "platform/system_dirs.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/search_view.h"

namespace {

}  // namespace

int ReferenceKindOf(int fileKind) {
  switch (fileKind) {
    case FK_NT_REGISTRY:
      return REF_NT_REGISTRY;
    case FK_95_REGISTRY:
      return REF_W95_REGISTRY;
    case FK_WIN16_OR_OS2:
      return REF_EXE_16BIT;
    case FK_WIN32:
      return REF_EXE_32BIT;
    default:
      return 0;
  }
}

const char* ReferenceKindText(int referenceKind) {
  switch (referenceKind) {
    case REF_EXE_16BIT:
      return "16-bit exe or dll";
    case REF_EXE_32BIT:
      return "32-bit exe or dll";
    case REF_NT_REGISTRY:
      return "NT registry";
    case REF_W95_REGISTRY:
      return "W95 registry";
    case REF_SETTINGS_FILE:
      return "settings file";
    default:
      return "";
  }
}

const char* FileNamePart(const char* path) {
  const char* separator = std::strrchr(path, kPathSeparator);
  return separator != nullptr ? separator + 1 : path;
}

void RecordReference(ProcessState& state, int j, const char* path, int referenceKind) {
  const CandidateLibrary* candidate = CandidateAt(state.CandidateList, j);
  if (candidate == nullptr) return;
  // A file never uses a library of its own name, wherever it lies.
  if (EqualIgnoringAsciiCase(candidate->name, FileNamePart(path))) return;
  RecordEvidence(state, j, path, referenceKind);
}

void RecordEvidence(ProcessState& state, int j, const char* path, int referenceKind) {
  CandidateLibrary* candidate = CandidateAt(state.CandidateList, j);
  if (candidate == nullptr) return;
  char* referrer = static_cast<char*>(std::malloc(std::strlen(path) + 1));
  if (referrer == nullptr) return;
  std::strcpy(referrer, path);
  ++state.ReferencedCount;
  candidate->found = 1;
  candidate->referenceKind = referenceKind;
  std::free(candidate->referencedBy);
  candidate->referencedBy = referrer;

  SearchView* view = state.view;
  if (view != nullptr) {
    view->DeleteLine(j);
    view->PassOneMessage();
  }
  const std::string line = FormatString("%s\t%d\t%s(%s)", candidate->name, candidate->libraryKind, path,
                                        ReferenceKindText(referenceKind));
  LogPrintf("found %s\n", line.c_str());
  WidenListExtent(state, line.c_str());
  if (view != nullptr) {
    view->InsertLine(j, line.c_str());
    view->PassOneMessage();
  }
}

void ListCandidates(ProcessState& state) {
  for (int j = 0; j < state.CandidateList.GetCount(); ++j) {
    const CandidateLibrary* candidate = CandidateAt(state.CandidateList, j);
    const std::string line = FormatString("%s\t%d\t?", candidate->name, candidate->libraryKind);
    WidenListExtent(state, line.c_str());
    if (state.view != nullptr) {
      state.view->AddLine(line.c_str());
      state.view->PassOneMessage();
    }
  }
}

void WidenListExtent(ProcessState& state, const char* line) {
  const int length = static_cast<int>(std::strlen(line));
  if (length <= state.WidestLineLength) return;
  SearchView* view = state.view;
  if (view != nullptr) {
    const int width = view->MeasureLine(line, length);
    if (view->HorizontalExtent() < width) view->SetHorizontalExtent(width);
    view->PassOneMessage();
    view->PassOneMessage();
  }
  state.WidestLineLength = length;
}
