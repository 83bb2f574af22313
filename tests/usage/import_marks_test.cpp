// The order in which a file's import table marks candidates: name by name
// in the order of the sorted name list, and for each name candidate by
// candidate in list order; the order fixes the list's lines and the log.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "config/log.h"
#include "tests/builders/exe_builders.h"
#include "tests/builders/scratch_dir.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/reference_check.h"

namespace testbuild {
namespace {

class ImportMarksTest : public ::testing::Test {
 protected:
  ImportMarksTest() : log_(folder_.Join("tarnwick.log")) { LogOpen(log_.c_str()); }

  void Candidate(const char* name, int libraryKind) {
    state_.CurrentLibraryKind = libraryKind;
    AddCandidate(state_, state_.CandidateList, name, "");
  }

  // The candidate and library kind of every "found" line, in log order.
  std::vector<std::string> Found() const {
    std::vector<std::string> found;
    const Bytes bytes = ReadFile(log_);
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    for (std::string line; std::getline(text, line);) {
      if (line.rfind("found ", 0) != 0) continue;
      const std::size_t tab = line.find('\t');
      found.push_back(line.substr(6, line.find('\t', tab + 1) - 6));
    }
    return found;
  }

  int CheckImporting(const std::string& file, std::vector<std::string> imports) {
    PeImage pe;
    pe.imports = std::move(imports);
    state_.ImportsOnlyMode = 1;
    return CheckFile(state_, folder_.Write(file, pe.Build()).c_str());
  }

  ScratchDir folder_;
  std::string log_;
  ProcessState state_;
};

TEST_F(ImportMarksTest, NameByNameThenCandidateByCandidate) {
  Candidate("b.dll", 32);
  Candidate("a.dll", 32);
  Candidate("ab.dll", 32);
  Candidate("a.dll", 16);
  Candidate("abc.dll", 16);
  ASSERT_EQ(CheckImporting("prog.exe", {"ABC.dll", "AB.dll", "A.dll"}), 1);
  // Sorted, the names are a.dll, ab.dll, abc.dll.
  EXPECT_EQ(Found(), (std::vector<std::string>{"a.dll\t32", "a.dll\t16", "ab.dll\t32", "abc.dll\t16"}));
}

TEST_F(ImportMarksTest, OwnNameAndEmptyBaseName) {
  Candidate("a.dll", 32);
  Candidate("ab.dll", 32);
  Candidate(".dll", 32);  // its base name begins every name
  ASSERT_EQ(CheckImporting("A.DLL", {"zz.dll", "AB.dll", "a.dll"}), 1);
  EXPECT_EQ(Found(), (std::vector<std::string>{".dll\t32", "ab.dll\t32"})) << "a.dll never refers to itself";
  EXPECT_EQ(CandidateAt(state_.CandidateList, 0)->found, 0);
}

}  // namespace
}  // namespace testbuild
