// The search with several reading threads against the search with one, over
// generated installations: every list line, status text, log line, counter,
// mark and evidence lead must be the same, in the same order, whatever the
// number of threads, including where a folder's walk ends early because
// every candidate is found.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/log.h"
#include "platform/system_dirs.h"
#include "tests/builders/exe_builders.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/candidates.h"
#include "usage/drive_search.h"
#include "usage/process_state.h"
#include "usage/search_run.h"

namespace testbuild {
namespace {

// Names that are prefixes and suffixes of one another, as import names and
// content meet them.
const char* const kNames[] = {"a.dll", "ab.dll", "abc.dll", "b.dll", "core.dll", "core32.dll", "net.dll",
                              "netapi.dll", "x.dll", "zlib.dll", "ui.dll", "uix.dll"};

class GeneratedInstallation {
 public:
  GeneratedInstallation(TestInstallation& installation, unsigned seed) : installation_(installation), rng_(seed) {
    root_ = installation.Folder("root");
    const int count = 1 + Pick(static_cast<int>(std::size(kNames)));
    for (int i = 0; i < count; ++i) candidates_.push_back(kNames[Pick(static_cast<int>(std::size(kNames)))]);
    for (const std::string& name : candidates_) {
      PeImage library;
      if (Pick(3) == 0) library.imports = {Spelled(Some())};
      Write("sys/" + name, library.Build());
    }
    Folder("tree", 0);
  }

  std::string Path(const std::string& relative) const {
    std::string path = root_ + kPathSeparator + relative;
    for (char& c : path) c = c == '/' ? kPathSeparator : c;
    return path;
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  const std::string& Some() { return candidates_[static_cast<std::size_t>(Pick(static_cast<int>(candidates_.size())))]; }
  std::string Base(const std::string& name) { return name.substr(0, name.rfind('.')); }
  // The name as programs write it: upper case, base name alone, or a near miss.
  std::string Spelled(const std::string& name) {
    switch (Pick(5)) {
      case 0: {
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        return upper;
      }
      case 1: return Base(name);
      case 2: return "q" + name;
      default: return name;
    }
  }
  void Write(const std::string& relative, const Bytes& bytes) { installation_.WriteFile("root/" + relative, bytes); }

  Bytes File() {
    switch (Pick(9)) {
      case 0: {
        PeImage pe;
        for (int i = Pick(3); i >= 0; --i) pe.imports.push_back(Spelled(Some()));
        return pe.Build();
      }
      case 1: {
        PeImage pe;
        pe.imports = {"msvcrt.dll"};
        pe.data = Concat({Ascii(Spelled(Some())), Utf16(Spelled(Some())), Ascii(Spelled(Some()), false)});
        return pe.Build();
      }
      case 2: {
        NeImage ne;
        ne.modules = {"KERNEL", Base(Spelled(Some()))};
        ne.segments = {{0, 0x100}};
        ne.body = Ascii("xx" + Base(Some()) + "yy");
        return ne.Build();
      }
      case 3: return BuildNtRegistry(Utf16("C:\\WINDOWS\\" + Spelled(Some())));
      case 4: {
        PeImage pe;
        pe.forwarders = {Base(Some()) + ".Function"};
        pe.delayImports = {Spelled(Some())};
        if (Pick(2) == 0) pe.imports = {"kernel32.dll"};
        return pe.Build();
      }
      case 5: return Ascii("text naming " + Some() + " in passing", false);
      case 6: return Bytes{};
      default: return Ascii("[drivers32]\r\nx=" + Spelled(Some()) + "\r\n", false);
    }
  }

  void Folder(const std::string& folder, int depth) {
    const int files = Pick(10);
    for (int i = 0; i < files; ++i) {
      const int shape = Pick(6);
      // A file may bear a candidate's own name, or be a settings file.
      const std::string name = shape == 0 ? Some() : "f" + std::to_string(i) + (shape == 1 ? ".ini" : ".exe");
      Write(folder + "/" + name, File());
    }
    if (depth < 3) {
      for (int i = Pick(4 - depth); i > 0; --i) Folder(folder + "/d" + std::to_string(i), depth + 1);
    }
  }

  TestInstallation& installation_;
  std::mt19937 rng_;
  std::string root_;
  std::vector<std::string> candidates_;
};

// Everything a search shows or keeps, in order.
std::string SearchRecord(TestInstallation& installation, const GeneratedInstallation& tree, int threads,
                         bool contentPass) {
  const std::string log = installation.Folder("log") + kPathSeparator + "t" + std::to_string(threads) + ".log";
  std::remove(log.c_str());
  LogOpen(log.c_str());
  RecordingView view;
  ProcessState state;
  state.view = &view;
  state.searchThreads = threads;
  SplitExtensions("dll", &state.settings);
  std::snprintf(state.settings.LibraryDir32, 260, "%s", tree.Path("sys").c_str());
  state.settings.LibraryKindMask = kLibraryKind32;
  std::snprintf(state.SearchRoot, sizeof state.SearchRoot, "%s", tree.Path("tree").c_str());
  state.searchRootOverride = true;
  CollectAndListCandidates(state);
  SearchDrivesInPasses(state, contentPass);

  std::ostringstream record;
  for (const std::string& status : view.statuses) record << "status " << status << "\n";
  for (const std::string& line : view.lines) record << "line " << line << "\n";
  record << "extent " << view.extent << " passes " << view.passes << " measured " << view.measurements << "\n";
  record << "counters " << state.FilesSearched << " " << state.ImportTablesSearched << " " << state.ReferencedCount
         << " root " << state.SearchRoot << "\n";
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const CandidateLibrary* candidate = CandidateAt(state.CandidateList, i);
    record << "candidate " << candidate->name << " " << candidate->found << " " << candidate->referenceKind << " "
           << (candidate->referencedBy != nullptr ? candidate->referencedBy : "-") << "\n";
  }
  for (const auto& lead : state.evidenceLeads.laterBound) record << "later " << lead.candidate << " " << lead.path << "\n";
  for (const std::string& path : state.evidenceLeads.settingsFiles) record << "settings " << path << "\n";
  const Bytes text = ReadFile(log);
  std::string logText(text.begin(), text.end());
  // The first line holds the time the log was opened.
  record << logText.substr(logText.find('\n') + 1);
  return record.str();
}

TEST(ParallelSearchTest, EveryThreadCountShowsWhatOneThreadShows) {
  int endedEarly = 0;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    TestInstallation installation;
    const GeneratedInstallation tree(installation, seed);
    const bool contentPass = seed % 4 != 0;
    const std::string one = SearchRecord(installation, tree, 1, contentPass);
    ASSERT_NE(one.find("status Analyzing"), std::string::npos) << "seed " << seed;
    // Every candidate found: the walk ended early.
    if (one.find(" 0 0 -\n") == std::string::npos) ++endedEarly;
    for (int threads = 2; threads <= 8; ++threads) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(threads) + " threads");
      ASSERT_EQ(SearchRecord(installation, tree, threads, contentPass), one);
    }
  }
  // The generated installations cover both ends of a search.
  EXPECT_GT(endedEarly, 0);
  EXPECT_LT(endedEarly, 12);
}

}  // namespace
}  // namespace testbuild
