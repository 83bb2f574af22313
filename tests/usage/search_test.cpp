// A whole search over a small installation: collection, listing, the import
// pass, the content pass and the backup, checked through the recording view,
// the candidates, the counters, the log and the files themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/log.h"
#include "platform/file_ops.h"
#include "platform/system_dirs.h"
#include "tests/usage/search_fixture.h"
#include "usage/backup.h"
#include "usage/candidates.h"
#include "usage/drive_search.h"
#include "usage/search_run.h"
#include "usage/usage_records.h"

namespace testbuild {
namespace {

const CandidateLibrary* Find(const ProcessState& state, const std::string& name, int* index = nullptr) {
  for (int i = 0; i < state.CandidateList.GetCount(); ++i) {
    const auto* c = CandidateAt(state.CandidateList, i);
    if (name == c->name) {
      if (index != nullptr) *index = i;
      return c;
    }
  }
  return nullptr;
}

std::string UsedLine(const SearchFixture& f, const ExpectedMark& mark) {
  return mark.candidate + "\t" + std::to_string(mark.libraryKind) + "\t" + f.Path(mark.file) + "(" +
         ReferenceKindText(mark.referenceKind) + ")";
}

void ExpectMarked(const SearchFixture& f, const std::vector<ExpectedMark>& marks) {
  for (const ExpectedMark& mark : marks) {
    int index = -1;
    const CandidateLibrary* c = Find(f.state, mark.candidate, &index);
    ASSERT_NE(c, nullptr) << mark.candidate;
    EXPECT_EQ(c->found, 1) << mark.candidate;
    EXPECT_EQ(c->referenceKind, mark.referenceKind) << mark.candidate;
    ASSERT_NE(c->referencedBy, nullptr) << mark.candidate;
    EXPECT_EQ(std::string(c->referencedBy), f.Path(mark.file)) << mark.candidate;
    EXPECT_EQ(f.view.lines.at(static_cast<std::size_t>(index)), UsedLine(f, mark)) << "line j shows candidate j";
  }
}

std::vector<std::string> LogLines(const SearchFixture& f) {
  std::vector<std::string> lines;
  std::istringstream text(f.LogText());
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

TEST(SearchTest, ListingShowsOneQuestionMarkLinePerCandidate) {
  SearchFixture f;
  f.CollectAndList();
  ASSERT_EQ(f.state.CandidateList.GetCount(), SearchFixture::kCandidates);
  ASSERT_EQ(f.view.lines.size(), static_cast<std::size_t>(SearchFixture::kCandidates));
  for (int j = 0; j < SearchFixture::kCandidates; ++j) {
    const auto* c = CandidateAt(f.state.CandidateList, j);
    EXPECT_EQ(f.view.lines[static_cast<std::size_t>(j)], std::string(c->name) + "\t" +
                                                             std::to_string(c->libraryKind) + "\t?");
  }
  EXPECT_EQ(f.state.WidestLineLength, static_cast<int>(std::string("kernel32.dll\t32\t?").size()));
}

TEST(SearchTest, ImportPassMarksByImportTablesOnly) {
  SearchFixture f;
  f.CollectAndList();
  f.Pass(true);
  ExpectMarked(f, SearchFixture::ImportMarks());
  EXPECT_EQ(f.state.ReferencedCount, 4);
  EXPECT_EQ(f.state.ImportTablesSearched, SearchFixture::kFiles);
  EXPECT_EQ(f.state.FilesSearched, 0);
  for (const char* name : {"plugin.dll", "helper.dll", "regnt.dll", "reg95.dll", "bar.dll", "commdlg.dll"}) {
    EXPECT_EQ(Find(f.state, name)->found, 0) << name;
  }
}

TEST(SearchTest, ContentPassFindsNamesInDataRegistriesAndSixteenBitCode) {
  SearchFixture f;
  f.CollectAndList();
  f.Pass(true);
  f.Pass(false);
  ExpectMarked(f, SearchFixture::ImportMarks());
  ExpectMarked(f, SearchFixture::ContentMarks());
  for (const std::string& name : SearchFixture::Unused()) {
    int index = -1;
    EXPECT_EQ(Find(f.state, name, &index)->found, 0) << name;
    EXPECT_EQ(f.view.lines.at(static_cast<std::size_t>(index)), name + "\t32\t?");
  }
  EXPECT_EQ(f.state.ReferencedCount, 10);
  EXPECT_EQ(f.state.FilesSearched, SearchFixture::kContentFiles);
  EXPECT_EQ(f.view.lines.size(), static_cast<std::size_t>(SearchFixture::kCandidates));

  // The log: the directory once per pass (with its separator the second
  // time), and every used line after "found ".
  const std::vector<std::string> log = LogLines(f);
  std::vector<std::string> directories, found;
  for (const std::string& line : log) {
    if (line.rfind("Directory : ", 0) == 0) directories.push_back(line);
    if (line.rfind("found ", 0) == 0) found.push_back(line.substr(6));
  }
  EXPECT_EQ(directories, (std::vector<std::string>{"Directory : " + f.root(),
                                                   "Directory : " + f.root() + kPathSeparator}));
  std::vector<std::string> expected;
  for (const auto* marks : {&SearchFixture::ImportMarks(), &SearchFixture::ContentMarks()}) {
    for (const ExpectedMark& mark : *marks) expected.push_back(UsedLine(f, mark));
  }
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

TEST(SearchTest, BackupMovesTheUnusedCandidatesAndReports) {
  SearchFixture f;
  f.CollectAndList();
  f.Pass(true);
  f.Pass(false);
  const std::string backup = f.installation.Folder("saved") + kPathSeparator + "BACKUP";
  std::snprintf(f.state.settings.BackupDir, 260, "%s", backup.c_str());
  f.view.statuses.clear();
  EXPECT_EQ(BackupFoundLibraries(f.state).moved, 2);
  for (const std::string& name : SearchFixture::Unused()) {
    EXPECT_TRUE(PathExists(backup + kPathSeparator + name)) << name;
    EXPECT_FALSE(PathExists(f.Path("windows/system32/" + name))) << name;
  }
  EXPECT_TRUE(PathExists(f.Path("apps/unused.dll"))) << "the copy elsewhere is not the candidate's file";
  EXPECT_TRUE(PathExists(f.Path("windows/system32/kernel32.dll")));
  EXPECT_EQ(f.view.statuses, (std::vector<std::string>{"Backuping nearmiss.dll", "Backuping unused.dll",
                                                       "2 files backuped"}));
  const std::vector<std::string> log = LogLines(f);
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
            (std::vector<std::string>{"Result :", "        7 files searched",
                                      "        21 import tables of files searched", "        10 found unusable",
                                      "        2 really moved"}));
}

TEST(SearchTest, BackupNeverReplacesAFileAlreadyInTheBackup) {
  SearchFixture f;
  f.CollectAndList();
  const std::string backup = f.installation.Folder("backup");
  f.installation.WriteFile("backup/unused.dll", Ascii("an earlier backup", false));
  std::snprintf(f.state.settings.BackupDir, 260, "%s", (backup + kPathSeparator).c_str());
  // No search ran: every candidate is unused, and one of them is taken.
  EXPECT_EQ(BackupFoundLibraries(f.state).moved, SearchFixture::kCandidates - 1);
  EXPECT_TRUE(PathExists(f.Path("windows/system32/unused.dll")));
  EXPECT_EQ(ReadFile(backup + kPathSeparator + "unused.dll"), Ascii("an earlier backup", false));
  EXPECT_EQ(f.view.statuses.back(), "11 files backuped");
}

TEST(SearchTest, BackupTakesTheCandidatesOwnFileFromItsSubfolder) {
  SearchFixture f;
  f.installation.WriteFile("root/windows/system32/old/twin.dll", Ascii("collected from the subfolder", false));
  f.installation.WriteFile("root/windows/system32/twin.dll", Ascii("used elsewhere", false));
  std::snprintf(f.state.settings.LibraryDir32, 260, "%s", f.Path("windows/system32/old").c_str());
  f.state.CurrentLibraryKind = 32;
  CollectCandidates(f.state, f.state.settings.LibraryDir32, 0, f.state.CandidateList);
  ASSERT_EQ(f.state.CandidateList.GetCount(), 1);
  std::snprintf(f.state.settings.BackupDir, 260, "%s", f.installation.Folder("backup").c_str());
  std::snprintf(f.state.settings.LibraryDir32, 260, "%s", f.Path("windows/system32").c_str());
  EXPECT_EQ(BackupFoundLibraries(f.state).moved, 1);
  EXPECT_EQ(ReadFile(f.installation.Folder("backup") + kPathSeparator + "twin.dll"),
            Ascii("collected from the subfolder", false));
  EXPECT_TRUE(PathExists(f.Path("windows/system32/twin.dll")));
}

TEST(SearchTest, LongNamesAreCutInTheBackupStatus) {
  SearchFixture f;
  f.installation.WriteFile("lib/abcdefghijklmnopqrstuvwxyz.dll", Ascii("x"));
  char path[260];
  std::snprintf(path, sizeof path, "%s", f.installation.Folder("lib").c_str());
  CollectCandidates(f.state, path, 0, f.state.CandidateList);
  std::snprintf(f.state.settings.BackupDir, 260, "%s", f.installation.Folder("backup").c_str());
  f.view.statuses.clear();
  BackupFoundLibraries(f.state);
  EXPECT_EQ(f.view.statuses.front(), "Backuping abcdefghijklmnopqrst");
}

TEST(SearchTest, EmptyCandidateListSearchesNothingAndBacksUpNothing) {
  SearchFixture f;
  std::snprintf(f.state.settings.DriveSelection, 26, "C:\\");
  std::snprintf(f.state.SearchRoot, 260, "%s", f.root().c_str());
  f.Pass(true);
  // Every directory walk ends after its first file check: one file each in
  // apps, registry, windows/system and windows/system32.
  EXPECT_EQ(f.state.ImportTablesSearched, 4);
  std::snprintf(f.state.settings.BackupDir, 260, "%s", f.installation.Folder("b").c_str());
  EXPECT_EQ(BackupFoundLibraries(f.state).moved, 0);
  EXPECT_EQ(f.view.statuses.back(), "0 files backuped");
}

TEST(SearchTest, WalkEndsOnceEveryCandidateIsFound) {
  SearchFixture f;
  // Only the candidates that app32.exe imports.
  std::snprintf(f.state.SearchRoot, 260, "%s", f.Path("apps").c_str());
  std::snprintf(f.state.settings.DriveSelection, 26, "C:\\");
  f.state.CurrentLibraryKind = 32;
  AddCandidate(f.state, f.state.CandidateList, "kernel32.dll", "");
  AddCandidate(f.state, f.state.CandidateList, "foo.dll", "");
  ListCandidates(f.state);
  f.Pass(true);
  EXPECT_EQ(f.state.ReferencedCount, 2);
  EXPECT_LT(f.state.ImportTablesSearched, 7) << "files after the last find are not checked";
  EXPECT_EQ(std::string(f.state.SearchRoot), f.Path("apps") + kPathSeparator);
}

TEST(SearchTest, WideningMeasuresOnlyLongerLinesAndNeverLowersTheExtent) {
  SearchFixture f;
  WidenListExtent(f.state, "abcdef");
  EXPECT_EQ(f.view.measurements, 1);
  EXPECT_EQ(f.view.extent, 36);
  WidenListExtent(f.state, "WWWWWW");  // as long, though wider: not measured
  EXPECT_EQ(f.view.measurements, 1);
  EXPECT_EQ(f.view.extent, 36);
  f.view.extent = 500;
  WidenListExtent(f.state, "abcdefg");
  EXPECT_EQ(f.view.measurements, 2);
  EXPECT_EQ(f.view.extent, 500);
  EXPECT_EQ(f.state.WidestLineLength, 7);
}

TEST(SearchTest, FileWithTheCandidatesOwnNameNeverMarksIt) {
  SearchFixture f;
  f.CollectAndList();
  int index = -1;
  Find(f.state, "kernel32.dll", &index);
  RecordReference(f.state, index, f.Path("apps/KERNEL32.DLL").c_str(), REF_EXE_32BIT);
  EXPECT_EQ(f.state.ReferencedCount, 0);
  EXPECT_EQ(Find(f.state, "kernel32.dll")->found, 0);
  RecordReference(f.state, index, f.Path("apps/app32.exe").c_str(), REF_NT_REGISTRY);
  EXPECT_EQ(f.view.lines[static_cast<std::size_t>(index)],
            "kernel32.dll\t32\t" + f.Path("apps/app32.exe") + "(NT registry)");
}

}  // namespace
}  // namespace testbuild

namespace testbuild {
namespace {

TEST(SearchRunTest, ImportsOnlySettingLeavesOutTheFinalPass) {
  for (bool importsOnly : {true, false}) {
    SearchFixture f;
    f.installation.WriteSettings(importsOnly ? "[options]\r\nlookimportsonly=1\r\n" : "[options]\r\n");
    f.CollectAndList();
    f.state.ReferencedCount = 99;
    RunSearchPasses(f.state);
    EXPECT_EQ(f.state.SearchCompleted, 1);
    EXPECT_EQ(f.state.SearchRunning, 1) << "cleared by the caller once the end is shown";
    EXPECT_EQ(f.state.ImportsOnlyMode, importsOnly ? 1 : 0);
    // The evidence pass that follows may mark more from the installation's
    // own registry (on Windows the live one); the passes mark 4 or 10.
    const std::string log = f.LogText();
    const std::size_t evidence = log.find("Now looking for further evidence");
    int passMarks = 0, allMarks = 0;
    for (std::size_t at = log.find("found "); at != std::string::npos; at = log.find("found ", at + 1)) {
      ++allMarks;
      if (at < evidence) ++passMarks;
    }
    EXPECT_EQ(passMarks, importsOnly ? 4 : 10);
    EXPECT_EQ(f.state.ReferencedCount, allMarks) << "counters start again at 0";
    EXPECT_EQ(f.LogText().find("Now perfoming the final analysis\n") != std::string::npos, !importsOnly);
    EXPECT_EQ(SearchDoneText(f.state), "done total 12 files");
  }
}

TEST(SearchRunTest, CollectionEmptiesTheListAndHonoursTheSixteenBitSwitch) {
  SearchFixture f;
  f.CollectAndList();
  f.state.settings.LibraryKindMask = 0x20;
  f.state.WidestLineLength = 500;
  CollectAndListCandidates(f.state);
  EXPECT_EQ(f.state.CandidateList.GetCount(), 10);
  EXPECT_EQ(f.view.lines.size(), 10u);
  EXPECT_LT(f.state.WidestLineLength, 500);
}

}  // namespace
}  // namespace testbuild
