#include "analysis/analyze_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/file_reader.h"
#include "base/pointer_list.h"
#include "platform/file_view.h"
#include "tests/analysis/analysis_harness.h"

namespace testbuild {
namespace {

using Names = std::vector<std::string>;
using Lines = std::vector<std::string>;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

// A plain DOS program's header: relocation table at 0x1C.
MzHeader DosMz() {
  MzHeader mz;
  mz.relocationOffset = 0x1C;
  return mz;
}

// --- files that are not executables -----------------------------------------

TEST(AnalyzeFileTest, OpenAndMapFailures) {
  ScratchDir dir;
  EXPECT_EQ(AnalyzePath(dir.Join("missing.exe")).result, AE_CANT_OPEN_FILE);
  EXPECT_EQ(AnalyzePath(dir.path()).result, AE_CANT_OPEN_FILE) << "a directory is not a file";
  const Analyzed empty = AnalyzePath(dir.Write("empty.exe", {}));
  EXPECT_EQ(empty.result, AE_CANT_ACCESS_MEMORY);
  EXPECT_EQ(empty.callbacks, 0);
}

TEST(AnalyzeFileTest, FilesBelowSixtyFourBytesAreUnknownWithoutCallbackOrTrace) {
  for (const std::string& start : {std::string("MZ"), std::string("regf"), std::string("x")}) {
    for (std::size_t size : {start.size(), std::size_t{63}}) {
      Bytes bytes = Ascii(start, false);
      PadTo(bytes, size);
      const Analyzed a = AnalyzeBytes(bytes);
      EXPECT_EQ(a.result, FK_UNKNOWN_TYPE) << start << " " << size;
      EXPECT_EQ(a.callbacks, 0);
      EXPECT_TRUE(a.trace.empty());
    }
  }
}

TEST(AnalyzeFileTest, PlainAndRegistryFilesHandOverTheWholeFile) {
  struct Case {
    Bytes bytes;
    int kind;
  } cases[] = {
      {Bytes(64, 0), FK_UNKNOWN_TYPE},
      {BuildNtRegistry(Ascii("SOFTWARE\\foo.dll"), 300), FK_NT_REGISTRY},
      {Build95Registry(Utf16("bar.dll"), 4096), FK_95_REGISTRY},
      {Concat({Ascii("regx", false), Bytes(100, 'a')}), FK_UNKNOWN_TYPE},
  };
  for (const Case& c : cases) {
    const Analyzed a = AnalyzeBytes(c.bytes);
    EXPECT_EQ(a.result, c.kind);
    EXPECT_EQ(a.callbacks, 1);
    EXPECT_EQ(a.callbackKind, c.kind);
    EXPECT_EQ(a.region, c.bytes);
    EXPECT_EQ(a.trace, Lines{"FileSize : " + std::to_string(c.bytes.size()) + "\n"});
  }
}

TEST(AnalyzeFileTest, MzFileIsNeverTakenForARegistry) {
  Bytes bytes = DosMz().Build(0x490);
  PutText(bytes, 0x80, "regf");
  EXPECT_EQ(AnalyzeBytes(bytes).result, FK_DOS_EXE);
}

// --- DOS programs -------------------------------------------------------------


TEST(AnalyzeFileTest, NewHeaderBeyondTheDosImageIsNotRead) {
  MzHeader mz;  // 3 pages, 0x90 on the last: 0x490 bytes
  mz.newHeaderOffset = 0x491;
  ASSERT_EQ(mz.DosImageSize(), 1168u);
  for (std::uint16_t relocation : {std::uint16_t{0x3F}, std::uint16_t{0x40}}) {
    mz.relocationOffset = relocation;
    Bytes bytes = BuildDosExe(mz, 2000);
    PutText(bytes, 0x491, "PE");  // would be a PE header if it were read
    const Analyzed a = AnalyzeBytes(bytes);
    EXPECT_EQ(a.result, relocation < 64 ? FK_DOS_EXE : FK_DOS_COMPRESSED);
    EXPECT_EQ(a.region, Slice(bytes, 0, 1168));
    EXPECT_EQ(a.trace, Lines{"FileSize : 1168\n"});
  }
}

TEST(AnalyzeFileTest, DosImageLongerThanTheFileIsCutAtItsEnd) {
  MzHeader mz = DosMz();
  mz.newHeaderOffset = 0x10000;
  const Bytes bytes = BuildDosExe(mz, 700);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_DOS_EXE);
  EXPECT_EQ(a.region, bytes);
  EXPECT_EQ(a.trace, Lines{"FileSize : 700\n"});
}

TEST(AnalyzeFileTest, DosImageSizeArithmeticWraps) {
  MzHeader mz = DosMz();
  mz.pages = 0;  // (0 - 1) * 512 wraps to nearly 4 GiB
  mz.lastPageBytes = 0;
  mz.newHeaderOffset = 0x80;
  const Bytes bytes = BuildDosExe(mz, 0x200);
  // The new header is examined, holds nothing known, and the DOS region then
  // lies far outside the file.
  EXPECT_EQ(AnalyzeBytes(bytes, {.callback = false}).result, FK_DOS_EXE);
  EXPECT_EQ(AnalyzeBytes(bytes).result, AE_ACCESS_VIOLATION);
}

TEST(AnalyzeFileTest, UnknownNewHeaderGivesTheDosKind) {
  for (std::uint16_t relocation : {std::uint16_t{0x1C}, std::uint16_t{0x40}}) {
    MzHeader mz;
    mz.relocationOffset = relocation;
    Bytes bytes = BuildDosExe(mz, 0x490);
    PutText(bytes, 0x80, "PX");
    const Analyzed a = AnalyzeBytes(bytes);
    EXPECT_EQ(a.result, relocation < 64 ? FK_DOS_EXE : FK_DOS_COMPRESSED);
    EXPECT_EQ(a.region, bytes);
  }
}

TEST(AnalyzeFileTest, PeSignatureNeedsItsTwoZeroBytes) {
  Bytes bytes = BuildDosExe(DosMz(), 0x490);
  PutText(bytes, 0x80, "PEx");
  EXPECT_EQ(AnalyzeBytes(bytes).result, FK_DOS_EXE);
}

TEST(AnalyzeFileTest, NewHeaderPastTheEndOfTheFileIsAFault) {
  MzHeader mz;
  mz.newHeaderOffset = 0x400;  // inside the DOS image, outside a 0x100-byte file
  const Analyzed a = AnalyzeBytes(BuildDosExe(mz, 0x100));
  EXPECT_EQ(a.result, AE_ACCESS_VIOLATION);
  EXPECT_EQ(a.callbacks, 0);
  EXPECT_TRUE(a.trace.empty());
}

// --- PE -------------------------------------------------------------------------

PeImage TwoImports(bool wide) {
  PeImage pe;
  pe.pe32plus = wide;
  pe.imports = {"KERNEL32.dll", "user32.DLL"};
  pe.code = Bytes(100, 0x90);
  pe.data = Concat({Ascii("msvcrt.dll"), Utf16("Comdlg32.dll")});
  return pe;
}

TEST(AnalyzeFileTest, PeImportsAreLowerCasedInTableOrder) {
  for (bool wide : {false, true}) {
    PeLayout layout;
    const Bytes bytes = TwoImports(wide).Build(&layout);
    const Analyzed a = AnalyzeBytes(bytes);
    EXPECT_EQ(a.result, FK_WIN32) << wide;
    EXPECT_EQ(a.names, (Names{"kernel32.dll", "user32.dll"}));
    EXPECT_EQ(a.callbackKind, FK_WIN32);
    EXPECT_EQ(a.region, Slice(bytes, layout.contentStart, layout.contentEnd));
    EXPECT_EQ(a.trace, (Lines{"ImportTable :" + Hex(layout.importTable) + "\n", "kernel32.dll\n",
                              "user32.dll\n", "FileSize : " + std::to_string(layout.contentEnd) + "\n"}));
  }
}

// The search reads a program past its head only when the analysis needs
// it. A program cut short meanwhile faults only where the lost bytes are
// read, as its mapping did: its import names still count, its content
// region does not.
TEST(AnalyzeFileTest, ProgramCutShortAfterItsHeadFaultsOnlyWhereTheLostBytesAreRead) {
  PeImage pe = TwoImports(false);
  pe.code = Bytes(70000, 0x90);
  pe.data = Bytes(30000, 0x41);
  PeLayout layout;
  const Bytes bytes = pe.Build(&layout);
  ASSERT_GT(layout.importTable, ReadBuffer::kDefaultHeadBytes);
  ScratchDir dir;
  const std::string path = dir.Write("cut.dll", bytes);
  ReadBuffer buffer;
  FileView file;
  ASSERT_EQ(file.Open(path.c_str(), &buffer), 0);
  dir.Write("cut.dll", Slice(bytes, 0, bytes.size() - 10000));
  const FileReader in(file);
  for (std::uint32_t name : layout.nameOffsets) {
    std::uint64_t length = 0;
    EXPECT_TRUE(in.StringLength(name, &length));
    EXPECT_GT(length, 0u);
  }
  EXPECT_FALSE(in.Faulted());
  in.At(layout.contentStart, layout.contentEnd - layout.contentStart);
  EXPECT_TRUE(in.Faulted());
}

TEST(AnalyzeFileTest, PeImportNameKeepsWhateverTheFileStores) {
  PeImage pe;
  pe.imports = {"OLD16", "Mixed.Case.Name.DRV", "\xC4Q.DLL"};
  const Analyzed a = AnalyzeBytes(pe.Build());
  EXPECT_EQ(a.names, (Names{"old16", "mixed.case.name.drv", "\xC4q.dll"}));
}

TEST(AnalyzeFileTest, PeWithoutSectionsOrImports) {
  PeLayout layout;
  Bytes noSections = TwoImports(false).Build(&layout);
  Put16(noSections, layout.sectionCountField, 0);
  Analyzed a = AnalyzeBytes(noSections);
  EXPECT_EQ(a.result, AE_INVALID_EXECUTABLE);
  EXPECT_TRUE(a.names.empty());
  EXPECT_EQ(a.callbacks, 0);

  PeImage none;
  none.code = Bytes(10, 0xC3);
  a = AnalyzeBytes(none.Build());
  EXPECT_EQ(a.result, AE_NO_IMPORT);
  EXPECT_TRUE(a.names.empty());
  EXPECT_TRUE(a.trace.empty());
}

TEST(AnalyzeFileTest, PeSectionScanRunsFromTheLastHeader) {
  // Move .data (the last header) to just below the import section's address:
  // the scan from the last header takes it, although .idata starts exactly
  // at the directory, and .data's delta puts the directory into .data.
  PeLayout layout;
  Bytes bytes = TwoImports(false).Build(&layout);
  ASSERT_EQ(layout.sectionCount, 3u);
  const std::uint32_t idataVa = Get32(bytes, SectionField(layout, 1, 0x0C));
  const std::uint32_t dataRaw = Get32(bytes, SectionField(layout, 2, 0x14));
  const std::uint32_t dataVa = idataVa - 0x10;
  Put32(bytes, SectionField(layout, 2, 0x0C), dataVa);
  const std::uint32_t delta = dataRaw - dataVa;
  const std::uint32_t directory = idataVa + delta;
  ASSERT_EQ(directory, dataRaw + 0x10);
  Put32(bytes, directory + 0x0C, directory + 40 - delta);
  PutBytes(bytes, directory + 20, Bytes(20, 0));
  PutBytes(bytes, directory + 40, Ascii("ELSEWHERE.DLL"));
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_WIN32);
  EXPECT_EQ(a.names, Names{"elsewhere.dll"});
  EXPECT_EQ(a.trace.front(), "ImportTable :" + Hex(directory) + "\n");
}

TEST(AnalyzeFileTest, PeWithNoSectionAtOrBelowTheDirectoryIsInvalid) {
  PeLayout layout;
  Bytes bytes = TwoImports(false).Build(&layout);
  Put32(bytes, layout.importDirectoryField, 0x0FFF);  // below every section
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, AE_INVALID_EXECUTABLE);
  EXPECT_TRUE(a.trace.empty());
}

TEST(AnalyzeFileTest, PeContentRegionSpansFirstToLastHeaderInTableOrder) {
  PeLayout layout;
  Bytes bytes = TwoImports(false).Build(&layout);
  // Make the last header's raw data end early: the region ends there, even
  // though earlier sections reach further.
  Put32(bytes, SectionField(layout, 2, 0x14), 0x300);
  Put32(bytes, SectionField(layout, 2, 0x10), 0x10);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_WIN32);
  EXPECT_EQ(a.region, Slice(bytes, layout.contentStart, 0x310));
}

TEST(AnalyzeFileTest, PeRegionOutsideTheFileIsAFaultOnlyWhenRead) {
  PeLayout layout;
  Bytes bytes = TwoImports(true).Build(&layout);
  Put32(bytes, SectionField(layout, 2, 0x10), 0x100000);  // raw data far past the end
  Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, AE_ACCESS_VIOLATION);
  EXPECT_EQ(a.callbacks, 0);
  EXPECT_EQ(a.names, (Names{"kernel32.dll", "user32.dll"})) << "names before the fault stay";

  a = AnalyzeBytes(bytes, {.callback = false});
  EXPECT_EQ(a.result, FK_WIN32);

  // A first section that starts after the last one ends: the length wraps.
  Bytes inverted = TwoImports(false).Build(&layout);
  Put32(inverted, SectionField(layout, 0, 0x14), layout.contentEnd + 0x200);
  EXPECT_EQ(AnalyzeBytes(inverted).result, AE_ACCESS_VIOLATION);
}

TEST(AnalyzeFileTest, PeNameWithoutTerminatorInTheFileIsAFault) {
  PeImage pe;
  pe.imports = {"first.dll", "second.dll"};
  PeLayout layout;
  Bytes bytes = pe.Build(&layout);
  // Cut the file right inside the second name.
  bytes.resize(layout.nameOffsets[1] + 3);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, AE_ACCESS_VIOLATION);
  EXPECT_EQ(a.names, Names{"first.dll"});
  EXPECT_EQ(a.callbacks, 0);
}

TEST(AnalyzeFileTest, PeDescriptorOrNameRvaOutsideTheFileIsAFault) {
  PeLayout layout;
  Bytes bytes = TwoImports(false).Build(&layout);
  Put32(bytes, layout.importTable + 20 + 0x0C, 0x7FFFFFF0);
  Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, AE_ACCESS_VIOLATION);
  EXPECT_EQ(a.names, Names{"kernel32.dll"});

  Put32(bytes, layout.importDirectoryField, 0xFFFFFF00);
  EXPECT_EQ(AnalyzeBytes(bytes).result, AE_ACCESS_VIOLATION);
}

TEST(AnalyzeFileTest, Pe32PlusUsesItsOwnHeaderOffsets) {
  // A PE32+ file read at the PE32 offsets would find its import directory
  // in the wrong data-directory slot; here that slot holds nonsense.
  PeLayout layout;
  Bytes bytes = TwoImports(true).Build(&layout);
  Put32(bytes, layout.newHeader + 0x80, 0xDEAD0000);
  Put32(bytes, layout.newHeader + 0x84, 0);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_WIN32);
  EXPECT_EQ(a.names, (Names{"kernel32.dll", "user32.dll"}));
}

TEST(AnalyzeFileTest, DuplicateNameRefusedBySortedSinkIsNotLeaked) {
  PeImage pe;
  pe.imports = {"b.dll", "A.DLL", "a.dll"};
  ScratchDir dir;
  const std::string path = dir.Write("dup.exe", pe.Build());
  SortedPointerList sink;
  sink.compare = CompareStrings;
  sink.releaseItem = std::free;
  EXPECT_EQ(AnalyzeFile(path.c_str(), nullptr, nullptr, &sink), FK_WIN32);
  ASSERT_EQ(sink.GetCount(), 2);
  EXPECT_STREQ(static_cast<char*>(sink.GetAt(0)), "a.dll");
  EXPECT_STREQ(static_cast<char*>(sink.GetAt(1)), "b.dll");
  // The leak checker of the sanitized build sees the refused copy otherwise.
}

// --- NE ---------------------------------------------------------------------------

NeImage SampleNe() {
  NeImage ne;
  ne.modules = {"KERNEL", "User", "toolhelp"};
  ne.alignShift = 4;
  ne.segments = {{0x40, 0x123}, {0, 0x50}, {0x60, 0}};
  ne.resourceShift = 4;
  ne.resourceTypes = {{0x8003, {{0x70, 2}, {0x72, 3}}}, {0x8005, {{0x80, 1}}}};
  ne.body = Ascii("COMMDLG");
  return ne;
}

TEST(AnalyzeFileTest, NeModuleNamesSegmentsAndResources) {
  NeLayout layout;
  const Bytes bytes = SampleNe().Build(&layout);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_WIN16_OR_OS2);
  EXPECT_EQ(a.names, (Names{"kernel", "user", "toolhelp"}));
  // Segments end at 0x400+0x123 and 0x600 (+0: a stored 0 adds nothing);
  // resources at (0x72<<4)+(3<<4) = 0x750 and (0x80<<4)+(1<<4) = 0x810.
  const std::uint32_t end = 0x810;
  EXPECT_EQ(a.trace, (Lines{
                         "ImportTable :" + Hex(layout.importedNames) + " Module Offsets:" +
                             Hex(layout.moduleRefTable) + "\n",
                         "KERNEL\n",
                         "User\n",
                         "toolhelp\n",
                         "Segment : 400 [123]\n",
                         "Segment : 0 [50]\n",
                         "Segment : 600 [10000]\n",
                         "Resource Seg : 720 30\n",
                         "Resource Seg : 800 10\n",
                         "Aligned Size = 2112\n",
                         "FileSize : " + std::to_string(end) + "\n",
                     }));
  EXPECT_EQ(a.region, Slice(bytes, layout.importedNames, end));
}

TEST(AnalyzeFileTest, NeEndThatIsNotAMultipleOf64IsTracedRoundedUp) {
  NeImage ne = SampleNe();
  ne.resourceTypes.clear();
  const Analyzed a = AnalyzeBytes(ne.Build());
  // Largest end 0x600 from segment 3, a multiple of 64: nothing extra. Make
  // segment 1 reach further, to 0x400+0x523 = 0x923.
  EXPECT_EQ(a.trace[a.trace.size() - 1], "FileSize : 1536\n");
  ne.segments[0].length = 0x523;
  NeLayout layout;
  const Bytes bytes = ne.Build(&layout);
  const Analyzed b = AnalyzeBytes(bytes);
  ASSERT_GE(b.trace.size(), 2u);
  EXPECT_EQ(b.trace[b.trace.size() - 2], "Aligned Size = 2368\n");
  EXPECT_EQ(b.trace.back(), "FileSize : 2339\n");
  EXPECT_EQ(b.region, Slice(bytes, layout.importedNames, 0x923));
}

TEST(AnalyzeFileTest, NeWithoutSegmentDataOrResourcesRunsToTheEndOfTheFile) {
  NeImage ne;
  ne.modules = {"GDI"};
  ne.segments = {{0, 0x100}};
  ne.body = Bytes(300, 'x');
  NeLayout layout;
  const Bytes bytes = ne.Build(&layout);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_WIN16_OR_OS2);
  EXPECT_EQ(a.region, Slice(bytes, layout.importedNames, bytes.size()));
}

TEST(AnalyzeFileTest, NeResourceTypeWithoutResourcesMovesOnByTwentyBytes) {
  NeImage ne;
  ne.modules = {"KERNEL"};
  ne.segments = {{0x10, 0x10}};
  // Room for a 46-byte table; its contents are written by hand below.
  ne.resourceTypes = {{0x8001, {{}, {}, {}}}};
  NeLayout layout;
  Bytes bytes = ne.Build(&layout);
  const std::uint32_t r = layout.resourceTable;
  ASSERT_EQ(layout.residentNames - r, 48u);
  // An empty type entry, then 12 bytes that a walk stepping 8 would take for
  // a type entry with 0xEEEE resources; 20 bytes on stands the real next type.
  PutBytes(bytes, r + 2, {0x01, 0x80, 0, 0, 0, 0, 0, 0});
  PutBytes(bytes, r + 10, Bytes(12, 0xEE));
  PutBytes(bytes, r + 22, {0x03, 0x80, 0x01, 0x00, 0, 0, 0, 0});
  PutBytes(bytes, r + 30, {0x90, 0x00, 0x01, 0x00, 0x30, 0, 0x01, 0x80, 0, 0, 0, 0});
  PutBytes(bytes, r + 42, {0, 0});
  PadTo(bytes, 0x910);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_WIN16_OR_OS2);
  EXPECT_EQ(a.trace, (Lines{"ImportTable :" + Hex(layout.importedNames) + " Module Offsets:" +
                                Hex(layout.moduleRefTable) + "\n",
                            "KERNEL\n", "Segment : 100 [10]\n", "Resource Seg : 900 10\n",
                            "Aligned Size = 2368\n", "FileSize : 2320\n"}));
}

TEST(AnalyzeFileTest, NeSegmentTableOffsetZeroIsInvalidAfterTheNames) {
  NeLayout layout;
  Bytes bytes = SampleNe().Build(&layout);
  Put16(bytes, layout.newHeader + 0x22, 0);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, AE_INVALID_16BIT);
  EXPECT_EQ(a.names, (Names{"kernel", "user", "toolhelp"}));
  EXPECT_EQ(a.callbacks, 0);
}

TEST(AnalyzeFileTest, NeUnreadableTablesAreInvalid) {
  NeLayout layout;
  Bytes bytes = SampleNe().Build(&layout);
  Bytes names = bytes;
  Put16(names, layout.newHeader + 0x2A, 0xF000);  // imported names beyond the file
  Analyzed a = AnalyzeBytes(names);
  EXPECT_EQ(a.result, AE_INVALID_16BIT);
  EXPECT_TRUE(a.names.empty());
  EXPECT_TRUE(a.trace.empty());

  // A resource table whose shift count is the file's last two bytes: the
  // first type entry lies outside.
  Bytes resources = bytes;
  resources.resize(layout.bodyOffset + 2);
  Put16(resources, layout.newHeader + 0x24, static_cast<std::uint16_t>(layout.bodyOffset - layout.newHeader));
  a = AnalyzeBytes(resources);
  EXPECT_EQ(a.result, AE_INVALID_16BIT);
  EXPECT_EQ(a.names.size(), 3u);
}

TEST(AnalyzeFileTest, NeModuleReferencePastTheEndIsAFault) {
  NeLayout layout;
  Bytes bytes = SampleNe().Build(&layout);
  Put16(bytes, layout.moduleRefTable + 2, 0xFFF0);
  const Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, AE_ACCESS_VIOLATION);
  EXPECT_EQ(a.names, Names{"kernel"});
}

TEST(AnalyzeFileTest, NeNamesStayAsStoredWithoutASink) {
  const Analyzed a = AnalyzeBytes(SampleNe().Build(), {.callback = false, .sink = false});
  EXPECT_EQ(a.result, FK_WIN16_OR_OS2);
  EXPECT_EQ(a.trace[1], "KERNEL\n");
  EXPECT_EQ(a.trace[2], "User\n");
}

// --- LE ---------------------------------------------------------------------------

TEST(AnalyzeFileTest, LeRegionEndsAtTheVersionResource) {
  const MzHeader mz;
  Bytes bytes = BuildLe(mz, 0, 0, 0x490);
  Analyzed a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_VXD);
  EXPECT_EQ(a.region, Slice(bytes, 0, 1168));

  bytes = BuildLe(mz, 0x300, 0x40, 0x490);
  a = AnalyzeBytes(bytes);
  EXPECT_EQ(a.result, FK_VXD);
  EXPECT_EQ(a.region, Slice(bytes, 0, 0x340));
  EXPECT_EQ(a.trace, Lines{"FileSize : 832\n"});
}

TEST(AnalyzeFileTest, LeHeaderCutShortIsAFault) {
  Bytes bytes = BuildLe(MzHeader(), 0x300, 0x40, 0x490);
  bytes.resize(0x80 + 0xBC + 2);
  EXPECT_EQ(AnalyzeBytes(bytes, {.callback = false}).result, AE_ACCESS_VIOLATION);
}

}  // namespace
}  // namespace testbuild
