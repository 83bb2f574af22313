// A small Windows installation for the search tests, written with the
// builders into a folder of a TestInstallation:
//
//   windows/system32/  ten 32-bit candidates (PE libraries without imports)
//   windows/system/    toolhelp.dll and commdlg.dll, the 16-bit candidates
//   apps/              programs that use some of them by import table, by
//                      name in their data (8-bit and UTF-16), and near misses
//   registry/          an NT hive and a Windows 95 registry naming one each
//
// Each used candidate has exactly one file that uses it, so the marks do not
// depend on the order in which a platform lists a folder.
#ifndef TARNWICK_TESTS_USAGE_SEARCH_FIXTURE_H
#define TARNWICK_TESTS_USAGE_SEARCH_FIXTURE_H

#include <string>
#include <vector>

#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/process_state.h"

namespace testbuild {

struct ExpectedMark {
  std::string candidate;
  int libraryKind;
  std::string file;  // relative to the root, '/' separated
  int referenceKind;
};

class SearchFixture {
 public:
  SearchFixture();

  // The root folder of the installation (native path, no trailing separator).
  std::string root() const { return root_; }
  // A path below the root, with the platform's separators.
  std::string Path(const std::string& relative) const;
  std::string LogText() const;

  // Collects both library folders, lists the candidates, and sets a
  // directory search of the root, as the Search command and start-up do.
  void CollectAndList();
  // One pass in the given mode, as the worker runs it.
  void Pass(bool importsOnly);

  static const std::vector<ExpectedMark>& ImportMarks();
  static const std::vector<ExpectedMark>& ContentMarks();
  static const std::vector<std::string>& Unused();
  static constexpr int kFiles = 21;          // regular files below the root
  static constexpr int kContentFiles = 7;    // of them of kinds 1 to 4
  static constexpr int kCandidates = 12;

  TestInstallation installation;
  RecordingView view;
  ProcessState state;

 private:
  std::string root_;
  std::string log_;
};

}  // namespace testbuild

#endif
