// Collection details that only a POSIX file system shows: the listing's
// byte order, links, and paths longer than the buffers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "config/settings.h"
#include "tests/support/test_installation.h"
#include "usage/candidates.h"
#include "usage/process_state.h"

namespace testbuild {
namespace {

std::vector<std::string> Names(const PointerList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.GetCount(); ++i) names.push_back(CandidateAt(list, i)->name);
  return names;
}

class CandidatesPosixTest : public ::testing::Test {
 protected:
  CandidatesPosixTest() { SplitExtensions("dll", &state_.settings); }

  void Collect(const std::string& folder, int recurse) {
    char path[260];
    std::snprintf(path, sizeof path, "%s", folder.c_str());
    CollectCandidates(state_, path, recurse, state_.CandidateList);
  }

  TestInstallation installation_;
  ProcessState state_;
};

TEST_F(CandidatesPosixTest, SubfolderCandidatesStandWhereTheFolderStandsInTheListing) {
  for (const char* name : {"a.dll", "m/inner.dll", "m/b.dll", "z.dll", "B.dll"}) {
    installation_.WriteFile(std::string("lib/") + name, Ascii("x"));
  }
  Collect(installation_.Folder("lib"), 1);
  EXPECT_EQ(Names(state_.CandidateList), (std::vector<std::string>{"b.dll", "a.dll", "b.dll", "inner.dll", "z.dll"}));
}

TEST_F(CandidatesPosixTest, LinkedFoldersAreNotEnteredAndSpecialFilesNotCollected) {
  installation_.WriteFile("lib/real.dll", Ascii("x"));
  const std::string lib = installation_.Folder("lib");
  std::filesystem::create_directory_symlink(lib, lib + "/loop");
  mkfifo((lib + "/pipe.dll").c_str(), 0600);
  Collect(lib, 1);
  EXPECT_EQ(Names(state_.CandidateList), std::vector<std::string>{"real.dll"});
}

TEST_F(CandidatesPosixTest, EntriesWhosePathWouldNotFitAreSkipped) {
  std::string folder = installation_.Folder("lib");
  while (folder.size() < 236) folder += "/nested";
  std::filesystem::create_directories(folder);
  testbuild::WriteFile(folder + "/short.dll", Ascii("x"));
  testbuild::WriteFile(folder + "/" + std::string(40, 'n') + ".dll", Ascii("x"));
  std::filesystem::create_directories(folder + "/" + std::string(30, 'd'));
  testbuild::WriteFile(folder + "/" + std::string(30, 'd') + "/inside.dll", Ascii("x"));
  ASSERT_LT(folder.size(), 250u);
  Collect(folder, 1);
  EXPECT_EQ(Names(state_.CandidateList), std::vector<std::string>{"short.dll"});
}

}  // namespace
}  // namespace testbuild
