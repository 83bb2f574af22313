// The rules by which one file refers to a candidate, in both modes.
#include "usage/reference_check.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/log.h"
#include "config/settings.h"
#include "platform/system_dirs.h"
#include "tests/builders/exe_builders.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_installation.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/usage_records.h"

namespace testbuild {
namespace {

class ReferenceCheckTest : public ::testing::Test {
 protected:
  ReferenceCheckTest() {
    LogOpen((installation_.Folder("log") + kPathSeparator + "tarnwick.log").c_str());
    state_.view = &view_;
  }

  void Candidates(std::vector<std::string> names) {
    for (const std::string& name : names) AddCandidate(state_, state_.CandidateList, name.c_str(), "");
    ListCandidates(state_);
  }

  const CandidateLibrary& At(int i) const {
    return *CandidateAt(state_.CandidateList, i);
  }

  // The found marks after scanning exactly these bytes (a heap block of
  // their size, so a read past the region shows under AddressSanitizer).
  std::vector<int> Scan(const Bytes& content, int referenceKind, const std::string& path = "C:\\x\\prog.exe") {
    std::unique_ptr<std::uint8_t[]> region(new std::uint8_t[content.size()]);
    std::copy(content.begin(), content.end(), region.get());
    ScanContentReference(state_, region.get(), static_cast<std::uint32_t>(content.size()), path.c_str(),
                         referenceKind);
    return Marks();
  }

  std::vector<int> Marks() const {
    std::vector<int> marks;
    for (int i = 0; i < state_.CandidateList.GetCount(); ++i) marks.push_back(At(i).found);
    return marks;
  }

  int Check(const std::string& name, const Bytes& bytes, bool importsOnly) {
    state_.ImportsOnlyMode = importsOnly ? 1 : 0;
    return CheckFile(state_, installation_.WriteFile(name, bytes).c_str());
  }

  TestInstallation installation_;
  RecordingView view_;
  ProcessState state_;
};

Bytes Padded(Bytes content) {
  Bytes out = Concat({Bytes(16, 'x'), std::move(content), Bytes(32, 'y')});
  return out;
}

TEST_F(ReferenceCheckTest, EightBitNameNeedsItsTerminatorOrItsOwnExtension) {
  struct Case {
    Bytes content;
    bool marks;
  } cases[] = {
      {Ascii("FOO.DLL"), true},        {Ascii("foo"), true},          {Ascii("xfoo.dll"), true},
      {Ascii("foo.dllx"), false},      {Ascii("foo.drv"), false},     {Ascii("foobar.dll"), false},
      {Ascii("Foo.Dll", false), false},
  };
  for (const Case& c : cases) {
    state_.CandidateList.Clear();
    view_.lines.clear();
    Candidates({"foo.dll"});
    EXPECT_EQ(Scan(Padded(c.content), REF_EXE_32BIT), std::vector<int>{c.marks ? 1 : 0})
        << std::string(c.content.begin(), c.content.end());
  }
}

TEST_F(ReferenceCheckTest, Utf16NameNeedsAZeroUnitOrItsOwnExtension) {
  struct Case {
    Bytes content;
    bool marks;
  } cases[] = {
      {Utf16("foo.dll"), true}, {Utf16("FOO.DLL"), true}, {Utf16("foo"), true},
      {Utf16("foo.dllx"), false}, {Utf16("foo.exe"), false},
  };
  for (const Case& c : cases) {
    state_.CandidateList.Clear();
    view_.lines.clear();
    Candidates({"foo.dll"});
    EXPECT_EQ(Scan(Padded(c.content), REF_NT_REGISTRY), std::vector<int>{c.marks ? 1 : 0});
  }
}

TEST_F(ReferenceCheckTest, SixteenBitCodeCountsTheBaseNameAnywhere) {
  Candidates({"foo.dll", "baz.dll"});
  EXPECT_EQ(Scan(Padded(Ascii("Foobar", false)), REF_EXE_16BIT), (std::vector<int>{1, 0}));
  EXPECT_EQ(Scan(Padded(Utf16("baz.dll")), REF_EXE_16BIT), (std::vector<int>{1, 0})) << "no UTF-16 form";
}

// A name counts wherever it stands, as long as its bytes and the terminator
// it needs lie inside the region.
TEST_F(ReferenceCheckTest, NamesInTheLastBytesOfTheRegion) {
  struct Case {
    Bytes content;
    int referenceKind;
    bool marks;
  } cases[] = {
      // Cut off by the end: the terminator or part of the name would lie
      // past it.
      {Concat({Bytes(20, 'x'), Ascii("ab.dll", false)}), REF_EXE_32BIT, false},
      {Concat({Bytes(20, 'x'), Ascii("ab", false)}), REF_EXE_32BIT, false},
      {Concat({Bytes(20, 'x'), Utf16("ab", false)}), REF_NT_REGISTRY, false},
      {Concat({Bytes(20, 'x'), Ascii("a", false)}), REF_EXE_16BIT, false},
      {Ascii("ab.dll", false), REF_EXE_32BIT, false},
      // The terminator is the last byte, after a near miss.
      {Concat({Bytes(20, 'x'), Ascii("ax", false), Ascii("ab")}), REF_EXE_32BIT, true},
      {Concat({Bytes(20, 'x'), Ascii("Ax", false), Ascii("AB.DLL")}), REF_EXE_32BIT, true},
      {Concat({Bytes(20, 'x'), Ascii("ax", false), Utf16("ab", false), Bytes{0}}), REF_NT_REGISTRY, true},
      {Concat({Bytes(20, 'x'), Ascii("ax", false), Ascii("ab", false)}), REF_EXE_16BIT, true},
      // The region is the name and no more: shorter than the UTF-16 name
      // with its zero unit (14 bytes), or exactly as long.
      {Ascii("ab.dll"), REF_EXE_32BIT, true},
      {Ascii("AB"), REF_EXE_32BIT, true},
      {Utf16("ab.dll"), REF_W95_REGISTRY, true},
      {Ascii("ab", false), REF_EXE_16BIT, true},
  };
  for (const Case& c : cases) {
    state_.CandidateList.Clear();
    view_.lines.clear();
    Candidates({"ab.dll"});
    EXPECT_EQ(Scan(c.content, c.referenceKind), std::vector<int>{c.marks ? 1 : 0})
        << std::string(c.content.begin(), c.content.end());
  }
}

TEST_F(ReferenceCheckTest, LibraryNeverRefersToItselfAndDoublesAreMarkedTwice) {
  Candidates({"foo.dll", "foo.dll"});
  const std::string own = std::string("sys") + kPathSeparator + "FOO.DLL";
  EXPECT_EQ(Scan(Padded(Ascii("foo.dll")), REF_EXE_32BIT, own), (std::vector<int>{0, 0}));
  EXPECT_EQ(Scan(Padded(Ascii("foo.dll")), REF_EXE_32BIT), (std::vector<int>{1, 1}));
  EXPECT_EQ(state_.ReferencedCount, 2);
}

TEST_F(ReferenceCheckTest, ImportModeMatchesImportedNamesThatBeginWithTheBaseName) {
  Candidates({"foo.dll", "foobar.dll", "kernel32.dll", "toolhelp.dll", "user32.dll"});
  PeImage pe;
  pe.imports = {"FOOBAR.dll", "KERNEL32.dll"};
  EXPECT_EQ(Check("prog.exe", pe.Build(), true), 1);
  EXPECT_EQ(Marks(), (std::vector<int>{1, 1, 1, 0, 0}));
  EXPECT_EQ(At(0).referenceKind, REF_EXE_32BIT);
  NeImage ne;
  ne.modules = {"TOOLHELP", "USER"};  // USER is shorter than the base name user32
  ne.segments = {{0, 0x10}};
  EXPECT_EQ(Check("prog16.exe", ne.Build(), true), 1);
  EXPECT_EQ(Marks(), (std::vector<int>{1, 1, 1, 1, 0}));
  EXPECT_EQ(At(3).referenceKind, REF_EXE_16BIT);
  EXPECT_EQ(state_.ImportTablesSearched, 2);
  EXPECT_EQ(state_.FilesSearched, 0);
}

TEST_F(ReferenceCheckTest, WhatEachKindOfFileCountsInEachMode) {
  Candidates({"reg.dll"});
  const Bytes registry = BuildNtRegistry(Ascii("reg.dll"));
  EXPECT_EQ(Check("SOFTWARE", registry, true), 1);
  EXPECT_EQ(state_.ImportTablesSearched, 1);
  EXPECT_EQ(At(0).found, 0) << "a registry has no import table";

  MzHeader dos;
  dos.relocationOffset = 0x1C;
  dos.newHeaderOffset = 0;
  Bytes program = BuildDosExe(dos, dos.DosImageSize());
  PutBytes(program, 0x80, Ascii("reg.dll"));
  EXPECT_EQ(Check("dos.exe", program, true), 0);
  EXPECT_EQ(Check("dos.exe", program, false), 1);
  EXPECT_EQ(Check("text.txt", Concat({Ascii("reg.dll"), Bytes(80, 0)}), false), 1);
  EXPECT_EQ(state_.FilesSearched, 0) << "kinds 0 and 6 are not searched";
  EXPECT_EQ(At(0).found, 0);
  EXPECT_EQ(CheckFile(state_, installation_.Folder("x").append("/missing").c_str()), 0);

  EXPECT_EQ(Check("SOFTWARE", registry, false), 1);
  EXPECT_EQ(state_.FilesSearched, 1);
  EXPECT_EQ(At(0).found, 1);
  EXPECT_EQ(At(0).referenceKind, REF_NT_REGISTRY);
  EXPECT_EQ(view_.statuses.back(), "Analyzing " + installation_.WriteFile("SOFTWARE", registry));
}

TEST_F(ReferenceCheckTest, EmptyCandidateListStillCountsSearchedFiles) {
  PeImage pe;
  pe.imports = {"KERNEL32.dll"};
  EXPECT_EQ(Check("a.exe", pe.Build(), false), 1);
  EXPECT_EQ(Check("b.exe", pe.Build(), false), 1);
  EXPECT_EQ(state_.FilesSearched, 2);
}

}  // namespace
}  // namespace testbuild
