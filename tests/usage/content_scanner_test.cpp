// The one-pass content scan against the straightforward one: over generated
// contents both must mark the same candidates, by the same files, through
// the same calls in the same order.
#include "usage/content_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fuzz/scan_comparison.h"
#include "tests/builders/bytes.h"
#include "usage/candidates.h"
#include "usage/process_state.h"
#include "usage/reference_check.h"
#include "usage/usage_records.h"

namespace testbuild {
namespace {

using scancompare::CompareScans;
using scancompare::ScanInput;
using scancompare::ScannedRegion;

constexpr int kKinds[] = {REF_EXE_32BIT, REF_NT_REGISTRY, REF_W95_REGISTRY, REF_EXE_16BIT};

// Names with the shapes that matter: one a prefix or a suffix of another,
// one-character base names, several dots, no extension, digits and signs,
// a name that is all extension, and names outside ASCII.
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = {
      "foo.dll", "foobar.dll", "oobar.dll", "bar.dll", "o.dll",   "f.drv",    "foo",
      "foo.dll.dll", "kernel32.dll", "x.y.z", "_~-!.dll", "3d.dll", ".dll", "d\xC3\xA9.dll", "\xE9t\xE9.dll"};
  return names;
}

std::string Base(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return text;
}

std::string Mixed(std::string text) {
  for (std::size_t i = 0; i < text.size(); i += 2) text[i] = Upper(text.substr(i, 1))[0];
  return text;
}

// Every way a name can stand in content, counted or not: terminated in 8
// bits and in UTF-16 (one or two zero bytes after it), base name alone,
// without terminator, followed by something else, cut short.
std::vector<Bytes> Forms(const std::string& name) {
  const std::string base = Base(name);
  std::vector<Bytes> forms;
  for (const std::string& text : {name, Upper(name), Mixed(name)}) {
    const std::string textBase = text.substr(0, base.size());
    forms.push_back(Ascii(text));
    forms.push_back(Ascii(textBase));
    forms.push_back(Ascii(text, false));
    forms.push_back(Ascii(text + "x"));
    forms.push_back(Ascii(textBase + ".dl"));
    forms.push_back(Utf16(text));
    forms.push_back(Utf16(textBase));
    forms.push_back(Concat({Utf16(text, false), Bytes{0}}));
    forms.push_back(Concat({Utf16(textBase, false), Bytes{0}}));
    forms.push_back(Utf16(text + "x"));
    forms.push_back(Utf16(text, false));
  }
  return forms;
}

// Filler that changes what the scan meets near a name: plain bytes,
// zeros, and the name's own first character, which the straightforward
// scan jumps between.
Bytes Filler(int type, std::size_t length, const std::string& name) {
  switch (type) {
    case 0: return Bytes(length, 'q');
    case 1: return Bytes(length, 0);
    case 2: return Bytes(length, static_cast<std::uint8_t>(name[0]));
    default: return Bytes(length, static_cast<std::uint8_t>(Upper(name.substr(0, 1))[0]));
  }
}

void ExpectSameMarks(const ScanInput& input) {
  const std::string difference = CompareScans(input);
  ASSERT_TRUE(difference.empty()) << difference;
}

TEST(ContentScannerTest, EveryFormOfEveryNameNearTheStartOfTheRegion) {
  for (const std::string& name : Names()) {
    for (const Bytes& form : Forms(name)) {
      for (int kind : kKinds) {
        for (std::size_t before : {0, 1, 3}) {
          ScanInput input{Names(), {}};
          input.regions.push_back({Concat({Filler(0, before, name), form, Filler(0, 64, name)}), kind, "a.exe"});
          ExpectSameMarks(input);
        }
      }
    }
  }
}

// Names in the last bytes of the region, behind filler that puts near
// misses (the name's first character) or zeros in front of them, whole or
// cut off by the end.
TEST(ContentScannerTest, EveryFormOfEveryNameAtEveryOffsetNearTheEnd) {
  for (const std::string& name : Names()) {
    const std::size_t reach = 2 * name.size() + 6;
    for (const Bytes& form : Forms(name)) {
      for (std::size_t after = 0; after <= reach; ++after) {
        const int filler = static_cast<int>(after % 4);
        const int kind = kKinds[after % 4];
        ScanInput input{{name, "zz.dll"}, {}};
        input.regions.push_back(
            {Concat({Filler(filler, 3 + after % 5, name), form, Filler(filler, after, name)}), kind, "a.exe"});
        ExpectSameMarks(input);
      }
    }
  }
}

// Long regions are searched 64 bytes at a time: a name must be found
// wherever it stands relative to those steps, also across them.
TEST(ContentScannerTest, TerminatedNamesAtEveryOffsetOfALongRegion) {
  for (const std::string& name : Names()) {
    const std::vector<Bytes> forms = {Ascii(name), Ascii(Base(name)), Utf16(Upper(name)), Utf16(Base(name)),
                                      Concat({Utf16(name, false), Bytes{0}})};
    for (const Bytes& form : forms) {
      for (std::size_t offset = 0; offset < 140; ++offset) {
        // Every offset around the first two 64-byte marks, some elsewhere.
        if (offset % 64 < 48 && offset % 7 != 0) continue;
        const int kind = offset % 2 == 0 ? REF_EXE_32BIT : REF_EXE_16BIT;
        Bytes content = Filler(static_cast<int>(offset % 3), 200, name);
        PutBytes(content, offset, form);
        // Alone: one-byte names among the candidates would widen what the
        // search looks at.
        ExpectSameMarks({{name, "zz.dll"}, {{content, kind, "a.exe"}}});
      }
    }
  }
}

TEST(ContentScannerTest, RegionsShorterThanTheWideNameAndEmptyOnes) {
  for (int kind : kKinds) {
    for (std::size_t length = 0; length < 20; ++length) {
      Bytes content = Concat({Ascii("o.dll"), Utf16("o.dll")});
      content.resize(length);
      ExpectSameMarks({Names(), {{content, kind, "a.exe"}}});
    }
  }
}

TEST(ContentScannerTest, OverlappingNamesAndNamesInsideOthers) {
  const std::vector<Bytes> contents = {
      Ascii("foobar.dll"), Ascii("xfoo.dll"), Ascii("foo.dll.dll"), Ascii("oobar"), Ascii("fooBAR.DLL"),
      Concat({Ascii("foo.dl", false), Ascii("foo.dll")}), Utf16("foobar.dll"), Utf16("xfoo.dll"),
      Concat({Utf16("foo", false), Ascii("bar.dll")}), Concat({Ascii("f", false), Utf16("oo.dll")}),
      Utf16("o"), Ascii("oo"), Concat({Utf16("foo.dll", false), Bytes{0, 'x'}}),
      Ascii("KERNEL32.DLL kernel32 Kernel32.dll"), Ascii("x.y"), Ascii("x.y.z.z")};
  for (const Bytes& content : contents) {
    for (int kind : kKinds) {
      ExpectSameMarks({Names(), {{Concat({Bytes(5, 'q'), content, Bytes(40, 0)}), kind, "a.exe"}}});
    }
  }
}

TEST(ContentScannerTest, TwinCandidatesAndTheFileOfTheCandidatesOwnName) {
  const std::vector<std::string> twins = {"foo.dll", "bar.dll", "foo.dll", "FOO.DLL"};
  const Bytes content = Concat({Bytes(8, 'q'), Ascii("foo.dll"), Ascii("bar"), Bytes(40, 'q')});
  for (const char* path : {"a.exe", "sys/foo.dll", "sys\\FOO.DLL", "bar.dll"}) {
    ExpectSameMarks({twins, {{content, REF_EXE_32BIT, path}, {content, REF_NT_REGISTRY, "other.exe"}}});
  }
}

// Several files in one pass: candidates found by one are passed over by the
// next, and the tables made for the first serve the rest.
TEST(ContentScannerTest, FilesOfOnePassInTurn) {
  ScanInput input{Names(), {}};
  const std::vector<Bytes> contents = {Ascii("bar.dll"), Utf16("foo"), Ascii("FOOBAR.DLL"), Ascii("o.dll"),
                                       Utf16("kernel32.dll"), Ascii("3D")};
  for (std::size_t i = 0; i < contents.size(); ++i) {
    input.regions.push_back({Concat({Bytes(8, 'q'), contents[i], Bytes(40, 'q')}), kKinds[i % 4],
                             "file" + std::to_string(i) + ".exe"});
  }
  ExpectSameMarks(input);
}

// Whether one scan, the one-pass one or the straightforward one, marks
// foo.dll in a region of exactly these bytes (a heap block of their size, so
// that a read past the end shows under AddressSanitizer).
bool MarksFooDll(bool onePass, const Bytes& content, int kind) {
  ProcessState state;
  AddCandidate(state, state.CandidateList, "foo.dll", "");
  std::unique_ptr<std::uint8_t[]> region(new std::uint8_t[content.size()]);
  std::copy(content.begin(), content.end(), region.get());
  const auto length = static_cast<std::uint32_t>(content.size());
  if (onePass) {
    ScanContentInOnePass(state, region.get(), length, "a.exe", kind);
  } else {
    ScanContentReference(state, region.get(), length, "a.exe", kind);
  }
  return CandidateAt(state.CandidateList, 0)->found == 1;
}

// A whole name in the last bytes of the region after a near miss, and a
// region that is the name and no more (shorter than the UTF-16 name with
// its zero unit, or just as long), count for both scans: the 8-bit forms in
// 32-bit and 16-bit programs, the UTF-16 ones in 32-bit programs.
TEST(ContentScannerTest, NamesInTheLastBytesOfTheRegionCountForBothScans) {
  struct Form {
    Bytes content;
    bool wide;
  } forms[] = {
      {Concat({Bytes(30, 'q'), Ascii("fo", false), Ascii("foo.dll")}), false},
      {Concat({Bytes(30, 'q'), Ascii("Fq", false), Ascii("FOO")}), false},
      {Concat({Bytes(30, 'q'), Ascii("fq", false), Utf16("foo", false), Bytes{0}}), true},
      {Ascii("foo.dll"), false},
      {Ascii("FOO"), false},
      {Utf16("foo.dll"), true},
      {Utf16("Foo"), true},
  };
  for (const Form& form : forms) {
    for (int kind : {REF_EXE_32BIT, REF_EXE_16BIT}) {
      const bool counted = kind == REF_EXE_32BIT || !form.wide;
      const std::string shown = std::string(form.content.begin(), form.content.end()) + ", kind " +
                                std::to_string(kind);
      EXPECT_EQ(MarksFooDll(false, form.content, kind), counted) << "straightforward: " << shown;
      EXPECT_EQ(MarksFooDll(true, form.content, kind), counted) << "one-pass: " << shown;
    }
  }
}

// Random contents made of name pieces, zeros and other bytes, scanned in
// runs of files with random candidates.
TEST(ContentScannerTest, RandomContentsOfNamePieces) {
  std::mt19937 random(20261208);
  const std::vector<std::string>& names = Names();
  for (int round = 0; round < 1000; ++round) {
    ScanInput input;
    for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n) {
      input.candidates.push_back(names[random() % names.size()]);
    }
    for (int files = 1 + static_cast<int>(random() % 3); files > 0; --files) {
      Bytes content;
      for (int pieces = static_cast<int>(random() % 12); pieces > 0; --pieces) {
        const std::string& name = input.candidates[random() % input.candidates.size()];
        const std::vector<Bytes> forms = Forms(name);
        switch (random() % 5) {
          case 0: content.push_back(0); break;
          case 1: content.push_back(static_cast<std::uint8_t>(random())); break;
          case 2: content.push_back(static_cast<std::uint8_t>(name[random() % name.size()])); break;
          default: {
            const Bytes& form = forms[random() % forms.size()];
            content.insert(content.end(), form.begin(), form.begin() + static_cast<std::ptrdiff_t>(
                                                                            1 + random() % form.size()));
          }
        }
      }
      const std::string path = random() % 4 == 0 ? "dir/" + input.candidates[0] : "prog.exe";
      input.regions.push_back({content, kKinds[random() % 4], path});
    }
    ExpectSameMarks(input);
    if (HasFatalFailure()) return;
  }
}

// The tables stand for the list they were made from: a list collected again
// gets tables of its own, even where its records take the places of the
// old ones.
TEST(ContentScannerTest, ListCollectedAgainBetweenTwoFiles) {
  ProcessState state;
  const Bytes content = Concat({Bytes(8, 'q'), Ascii("bar.dll"), Bytes(40, 'q')});
  AddCandidate(state, state.CandidateList, "foo.dll", "");
  ScanContentInOnePass(state, content.data(), static_cast<std::uint32_t>(content.size()), "a.exe", REF_EXE_32BIT);
  for (int round = 0; round < 3; ++round) {
    state.CandidateList.Clear();
    AddCandidate(state, state.CandidateList, round % 2 == 0 ? "bar.dll" : "foo.dll", "");
    ScanContentInOnePass(state, content.data(), static_cast<std::uint32_t>(content.size()), "a.exe",
                         REF_EXE_32BIT);
    EXPECT_EQ(CandidateAt(state.CandidateList, 0)->found, round % 2 == 0 ? 1 : 0);
  }
}

TEST(ContentScannerTest, MarkClearedBetweenTwoFilesIsSearchedForAgain) {
  ProcessState state;
  const Bytes content = Concat({Bytes(8, 'q'), Ascii("bar.dll"), Bytes(40, 'q')});
  AddCandidate(state, state.CandidateList, "bar.dll", "");
  auto* candidate = CandidateAt(state.CandidateList, 0);
  ScanContentInOnePass(state, content.data(), static_cast<std::uint32_t>(content.size()), "a.exe", REF_EXE_32BIT);
  ASSERT_EQ(candidate->found, 1);
  candidate->found = 0;
  ScanContentInOnePass(state, content.data(), static_cast<std::uint32_t>(content.size()), "b.exe", REF_EXE_32BIT);
  EXPECT_EQ(candidate->found, 1);
  EXPECT_STREQ(candidate->referencedBy, "b.exe");
}

}  // namespace
}  // namespace testbuild
