#include "usage/candidates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/settings.h"
#include "platform/system_dirs.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/process_state.h"

namespace testbuild {
namespace {

const CandidateLibrary* At(const PointerList& list, int index) {
  return CandidateAt(list, index);
}

std::vector<std::string> Names(const PointerList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.GetCount(); ++i) names.push_back(At(list, i)->name);
  return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

class CandidatesTest : public ::testing::Test {
 protected:
  CandidatesTest() {
    state_.view = &view_;
    SplitExtensions("dll", &state_.settings);
  }

  // Collects from a folder of the installation into the state's list.
  void Collect(const std::string& folder, int recurse, int kind = 32) {
    char path[260];
    std::snprintf(path, sizeof path, "%s", installation_.Folder(folder).c_str());
    state_.CurrentLibraryKind = kind;
    CollectCandidates(state_, path, recurse, state_.CandidateList);
  }

  void Touch(const std::string& relative) { installation_.WriteFile(relative, Ascii("MZ", false)); }

  TestInstallation installation_;
  RecordingView view_;
  ProcessState state_;
};

TEST_F(CandidatesTest, RecordHoldsLowerCaseAndWideNamesWithTheirLengths) {
  Touch("lib/ABC.DLL");
  Touch("lib/foo.bar.dll");
  Collect("lib", 0);
  ASSERT_EQ(state_.CandidateList.GetCount(), 2);
  const CandidateLibrary* abc = At(state_.CandidateList, 0);
  const CandidateLibrary* foo = At(state_.CandidateList, 1);
  if (std::strcmp(abc->name, "abc.dll") != 0) std::swap(abc, foo);
  EXPECT_STREQ(abc->name, "abc.dll");
  EXPECT_STREQ(abc->fileName, "ABC.DLL");
  EXPECT_EQ(abc->nameLength, 7);
  EXPECT_EQ(abc->baseLength, 3);
  EXPECT_EQ(abc->wideSize, 16);
  EXPECT_EQ(abc->wideBaseSize, 6);
  const unsigned char wide[16] = {'a', 0, 'b', 0, 'c', 0, '.', 0, 'd', 0, 'l', 0, 'l', 0, 0, 0};
  EXPECT_EQ(std::memcmp(abc->wideName, wide, sizeof wide), 0);
  EXPECT_EQ(abc->found, 0);
  EXPECT_EQ(abc->libraryKind, 32);
  EXPECT_EQ(abc->referencedBy, nullptr);
  EXPECT_EQ(std::string(abc->directory), installation_.Folder("lib") + kPathSeparator);
  EXPECT_STREQ(foo->name, "foo.bar.dll");
  EXPECT_EQ(foo->baseLength, 7);
  EXPECT_EQ(foo->wideBaseSize, 14);
}

TEST_F(CandidatesTest, OnlyConfiguredExtensionsCount) {
  SplitExtensions("dll drv", &state_.settings);
  for (const char* name : {"x.DRV", "x.exe", "dll", "y.dll.bak", "z.Dll"}) Touch(std::string("lib/") + name);
  Collect("lib", 0);
  EXPECT_EQ(Sorted(Names(state_.CandidateList)), (std::vector<std::string>{"x.drv", "z.dll"}));

  SplitExtensions("", &state_.settings);
  state_.CandidateList.Clear();
  Collect("lib", 0);
  EXPECT_EQ(state_.CandidateList.GetCount(), 0) << "an empty table collects nothing";
}

TEST_F(CandidatesTest, RecursionEntersSubfoldersButNotDotFolders) {
  Touch("lib/top.dll");
  Touch("lib/sub/inner.dll");
  Touch("lib/.cache/hidden.dll");
  Touch("lib/sub/deeper/deep.dll");
  Collect("lib", 0);
  EXPECT_EQ(Names(state_.CandidateList), std::vector<std::string>{"top.dll"});
  state_.CandidateList.Clear();
  Collect("lib", 1);
  EXPECT_EQ(Sorted(Names(state_.CandidateList)), (std::vector<std::string>{"deep.dll", "inner.dll", "top.dll"}));
}

TEST_F(CandidatesTest, PathGainsOneSeparator) {
  char path[260];
  std::snprintf(path, sizeof path, "%s", installation_.Folder("lib").c_str());
  const std::string expected = std::string(path) + kPathSeparator;
  CollectCandidates(state_, path, 0, state_.CandidateList);
  EXPECT_EQ(std::string(path), expected);
  CollectCandidates(state_, path, 0, state_.CandidateList);
  EXPECT_EQ(std::string(path), expected);
}

TEST_F(CandidatesTest, SameFolderForBothKindsGivesEachFileTwice) {
  Touch("lib/one.dll");
  Collect("lib", 0, 32);
  Collect("lib", 0, 16);
  ASSERT_EQ(state_.CandidateList.GetCount(), 2);
  EXPECT_STREQ(At(state_.CandidateList, 0)->name, "one.dll");
  EXPECT_EQ(At(state_.CandidateList, 0)->libraryKind, 32);
  EXPECT_STREQ(At(state_.CandidateList, 1)->name, "one.dll");
  EXPECT_EQ(At(state_.CandidateList, 1)->libraryKind, 16);
}

TEST_F(CandidatesTest, CountingLeavesTheCandidateListAlone) {
  Touch("lib/kept.dll");
  Collect("lib", 0);
  const void* record = state_.CandidateList.GetAt(0);
  for (const char* name : {"a.dll", "b.dll", "c.DLL", "readme.txt", "sub/d.dll"}) Touch(std::string("backup/") + name);
  char path[260];
  std::snprintf(path, sizeof path, "%s", installation_.Folder("backup").c_str());
  EXPECT_EQ(CountLibraryFiles(state_, path), 3);
  EXPECT_EQ(path[std::strlen(path) - 1], kPathSeparator);
  ASSERT_EQ(state_.CandidateList.GetCount(), 1);
  EXPECT_EQ(state_.CandidateList.GetAt(0), record);
  EXPECT_STREQ(At(state_.CandidateList, 0)->name, "kept.dll");
}

TEST_F(CandidatesTest, StatusShowsTheFirst25CharactersOfTheName) {
  Touch("lib/abcdefghijklmnopqrstuvwxyz1234.dll");
  Collect("lib", 0);
  ASSERT_EQ(view_.statuses.size(), 1u);
  EXPECT_EQ(view_.statuses[0], "Processing abcdefghijklmnopqrstuvwxy");
}

TEST_F(CandidatesTest, MissingFolderAddsNothing) {
  char path[260];
  std::snprintf(path, sizeof path, "%s", (installation_.Folder("lib") + kPathSeparator + "absent").c_str());
  CollectCandidates(state_, path, 1, state_.CandidateList);
  EXPECT_EQ(state_.CandidateList.GetCount(), 0);
}

}  // namespace
}  // namespace testbuild
