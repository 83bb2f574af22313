#include "bench/search_timing.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>

#include "analysis/analyze_file.h"
#include "bench/made_up_names.h"
#include "config/settings.h"
#include "platform/mapped_file.h"
#include "usage/candidates.h"
#include "usage/content_scanner.h"
#include "usage/drive_search.h"
#include "usage/evidence_pass.h"
#include "usage/process_state.h"
#include "usage/reference_check.h"
#include "usage/search_view.h"
#include "usage/usage_records.h"

namespace {

constexpr const char* kMadeUpFolder = "made-up/";

// Where the floor's count goes, so that its loop cannot be left out.
volatile std::size_t gFloorHits = 0;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Keeps the path of every file the search checks.
class FileListView : public SearchView {
 public:
  void ShowStatus(const char*) override {}
  void FileChecked(const char* path) override { files.emplace_back(path); }
  void PassOneMessage() override {}
  void ClearLines() override {}
  void AddLine(const char*) override {}
  void InsertLine(int, const char*) override {}
  void DeleteLine(int) override {}
  int MeasureLine(const char*, int length) override { return length; }
  int HorizontalExtent() override { return 0; }
  void SetHorizontalExtent(int) override {}

  std::vector<std::string> files;
};

void RunPass(ProcessState& state, const Corpus& corpus, bool importsOnly) {
  state.ImportsOnlyMode = importsOnly ? 1 : 0;
  std::snprintf(state.SearchRoot, sizeof state.SearchRoot, "%s", corpus.root.c_str());
  state.searchRootOverride = true;
  SearchDrives(state);
}

void Collect(ProcessState& state, SearchTimes* times) {
  times->candidates = static_cast<std::size_t>(state.CandidateList.GetCount());
  times->marks.clear();
  times->madeUpFound = 0;
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const CandidateLibrary* c = CandidateAt(state.CandidateList, i);
    times->marks.push_back(std::string(c->name) + " " +
                           (c->found == 1 && c->referencedBy != nullptr ? c->referencedBy : "-"));
    if (c->found == 1 && std::strcmp(c->directory, kMadeUpFolder) == 0) ++times->madeUpFound;
  }
}

// Resident memory from /proc; 0 where there is none.
std::uint64_t StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::strtoull(line.c_str() + std::strlen(field), nullptr, 10);
  }
  return 0;
}

bool ResetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear);
}

// The straightforward scan in place of the one-pass scan, otherwise what
// ScanContent does.
struct ReferenceContext {
  ProcessState* state;
  const char* path;
};

int ScanWithReference(const std::uint8_t* region, std::uint32_t length, void* context, int kind) {
  auto* scan = static_cast<ReferenceContext*>(context);
  const int referenceKind = ReferenceKindOf(kind);
  if (region == nullptr || referenceKind == 0) return 0;
  ++scan->state->FilesSearched;
  ScanContentReference(*scan->state, region, length, scan->path, referenceKind);
  return 0;
}

}  // namespace

void LoadCandidates(const Corpus& corpus, ProcessState& state) {
  SplitExtensions("dll", &state.settings);
  SortedPointerList collected;
  collected.releaseItem = ReleaseCandidate;
  collected.allowDuplicates = 1;
  for (const auto& folder : corpus.libraryFolders) {
    char path[260];
    std::snprintf(path, sizeof path, "%s", folder.first.c_str());
    state.CurrentLibraryKind = folder.second;
    CollectCandidates(state, path, 0, collected);
  }
  std::set<std::string> taken;
  for (int i = 0; i < collected.GetCount(); ++i) {
    const auto* c = CandidateAt(collected, i);
    taken.insert(c->name);
    if (corpus.keepFirst != 0 && static_cast<std::size_t>(i) >= corpus.keepFirst) continue;
    state.CurrentLibraryKind = c->libraryKind;
    AddCandidate(state, state.CandidateList, c->fileName, c->directory);
  }
  const auto have = static_cast<std::size_t>(state.CandidateList.GetCount());
  if (corpus.candidatesWanted > have) {
    state.CurrentLibraryKind = 32;
    for (const std::string& name : MadeUpLibraryNames(corpus.candidatesWanted - have, taken)) {
      AddCandidate(state, state.CandidateList, name.c_str(), kMadeUpFolder);
    }
  }
}

std::vector<std::string> ListSearchedFiles(const Corpus& corpus) {
  ProcessState state;
  FileListView view;
  state.view = &view;
  LoadCandidates(corpus, state);
  RunPass(state, corpus, true);
  return view.files;
}

std::uint64_t TotalBytes(const std::vector<std::string>& files) {
  std::uint64_t total = 0;
  for (const std::string& file : files) {
    struct stat st;
    if (stat(file.c_str(), &st) == 0) total += static_cast<std::uint64_t>(st.st_size);
  }
  return total;
}

SearchTimes TimeSearch(const Corpus& corpus, int repeats) {
  SearchTimes best;
  for (int run = 0; run < repeats; ++run) {
    ProcessState state;
    LoadCandidates(corpus, state);
    best.scannerTableBytes = ContentScanner(state.CandidateList).TableBytes();
    const std::uint64_t residentBefore = StatusKilobytes("VmRSS:");
    const bool peakReset = ResetPeakMemory();

    const auto start = Clock::now();
    RunPass(state, corpus, true);
    const double importSeconds = SecondsSince(start);
    const auto contentStart = Clock::now();
    RunPass(state, corpus, false);
    const double contentSeconds = SecondsSince(contentStart);
    // The two passes' marks, which the straightforward scan must equal; the
    // evidence pass then adds its own.
    SearchTimes passes;
    Collect(state, &passes);
    const auto evidenceStart = Clock::now();
    RunEvidencePass(state);
    const double evidenceSeconds = SecondsSince(evidenceStart);
    const double wholeSeconds = SecondsSince(start);

    const std::uint64_t peak = StatusKilobytes("VmHWM:");
    if (run == 0 || wholeSeconds < best.wholeSeconds) {
      best.importSeconds = importSeconds;
      best.contentSeconds = contentSeconds;
      best.evidenceSeconds = evidenceSeconds;
      best.wholeSeconds = wholeSeconds;
    }
    if (peakReset && peak > residentBefore) {
      best.peakMemoryGrowth = std::max<std::uint64_t>(best.peakMemoryGrowth, (peak - residentBefore) * 1024);
    }
    best.candidates = passes.candidates;
    best.marks = passes.marks;
    best.madeUpFound = passes.madeUpFound;
    best.evidenceMarks = state.ReferencedCount - static_cast<int>(std::count_if(
        passes.marks.begin(), passes.marks.end(), [](const std::string& mark) { return mark.back() != '-'; }));
  }
  return best;
}

SearchTimes TimeReferenceSearch(const Corpus& corpus, const std::vector<std::string>& files) {
  SearchTimes times;
  ProcessState state;
  LoadCandidates(corpus, state);
  const auto start = Clock::now();
  RunPass(state, corpus, true);
  times.importSeconds = SecondsSince(start);
  const auto contentStart = Clock::now();
  for (const std::string& file : files) {
    ReferenceContext context{&state, file.c_str()};
    AnalyzeFile(file.c_str(), ScanWithReference, &context, nullptr);
    if (CandidatesLeft(state) == 0) break;
  }
  times.contentSeconds = SecondsSince(contentStart);
  times.wholeSeconds = SecondsSince(start);
  Collect(state, &times);
  return times;
}

double TimeMemchrFloor(const std::vector<std::string>& files, int repeats) {
  double best = 0;
  for (int run = 0; run < repeats; ++run) {
    std::size_t hits = 0;
    const auto start = Clock::now();
    for (const std::string& file : files) {
      MappedFile mapped;
      if (mapped.Open(file.c_str()) != 0) continue;
      // Every byte is read: memchr runs to the end of the file, stopping
      // only at the byte it looks for, one that is rare in programs.
      const std::uint8_t* at = mapped.data();
      const std::uint8_t* end = at + mapped.size();
      while (at < end) {
        const void* hit = std::memchr(at, 0xE7, static_cast<std::size_t>(end - at));
        if (hit == nullptr) break;
        ++hits;
        at = static_cast<const std::uint8_t*>(hit) + 1;
      }
    }
    const double seconds = SecondsSince(start);
    if (run == 0 || seconds < best) best = seconds;
    gFloorHits = hits;
  }
  return best;
}
