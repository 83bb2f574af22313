// The console analyser's whole output, byte for byte, for every kind of file
// and every error it can report.
#include "tools/exeprobe/exeprobe.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/builders/exe_builders.h"
#include "tests/builders/scratch_dir.h"

namespace testbuild {
namespace {

struct ProbeRun {
  std::string banner;
  std::string rest;  // everything after the banner line
  int status;
};

class ExeprobeTest : public ::testing::Test {
 protected:
  ProbeRun Probe(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    const std::string outPath = dir_.Join("out.txt");
    std::FILE* out = std::fopen(outPath.c_str(), "wb");
    ProbeRun run;
    run.status = RunExeprobe(static_cast<int>(argv.size()), argv.data(), out);
    std::fclose(out);
    const Bytes bytes = ReadFile(outPath);
    const std::string text(bytes.begin(), bytes.end());
    const auto lineEnd = text.find('\n');
    run.banner = text.substr(0, lineEnd);
    run.rest = lineEnd == std::string::npos ? "" : text.substr(lineEnd + 1);
    return run;
  }

  ProbeRun ProbeBytes(const Bytes& bytes) { return Probe({"exeprobe", dir_.Write("probe.bin", bytes)}); }

  ScratchDir dir_;
};

TEST_F(ExeprobeTest, BannerAndUsageWithoutArgument) {
  const ProbeRun run = Probe({"C:\\TOOLS\\EXEPROBE.EXE"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.banner.find("exeprobe"), std::string::npos);
  EXPECT_NE(run.banner.find("1.02"), std::string::npos);
  EXPECT_NE(run.banner.find("1999"), std::string::npos);
  EXPECT_EQ(run.rest, "use : C:\\TOOLS\\EXEPROBE.EXE <exefilename>\n");
}

TEST_F(ExeprobeTest, OpenAndMapFailures) {
  ProbeRun run = Probe({"exeprobe", dir_.Join("nothing-here.exe")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.rest, "Analysys failed with error -4 (Cant open file)\n");
  run = ProbeBytes({});
  EXPECT_EQ(run.rest, "Analysys failed with error -5 (Can't access memory)\n");
}

TEST_F(ExeprobeTest, ShortAndPlainFiles) {
  EXPECT_EQ(ProbeBytes(Ascii("MZ", false)).rest, "Analysys ok.\nFile type Unknown Type\n");
  Bytes text = Ascii(std::string(100, 'x'), false);
  EXPECT_EQ(ProbeBytes(text).rest, "FileSize : 100\nAnalysys ok.\nFile type Unknown Type\n");
}

TEST_F(ExeprobeTest, RegistryFiles) {
  EXPECT_EQ(ProbeBytes(BuildNtRegistry({}, 8192)).rest,
            "FileSize : 8192\nAnalysys ok.\nFile type Nt REGISTRY\n");
  EXPECT_EQ(ProbeBytes(Build95Registry({}, 300)).rest,
            "FileSize : 300\nAnalysys ok.\nFile type 95_REGISTRY\n");
}

TEST_F(ExeprobeTest, DosVxdAndCompressed) {
  MzHeader mz;
  mz.newHeaderOffset = 0x1000;
  mz.relocationOffset = 0x1C;
  EXPECT_EQ(ProbeBytes(BuildDosExe(mz, 0x490)).rest, "FileSize : 1168\nAnalysys ok.\nFile type DOS_EXE\n");
  mz.relocationOffset = 0x40;
  EXPECT_EQ(ProbeBytes(BuildDosExe(mz, 0x490)).rest,
            "FileSize : 1168\nAnalysys ok.\nFile type DOS_COMPRESSED\n");
  EXPECT_EQ(ProbeBytes(BuildLe(MzHeader(), 0x400, 0x33, 0x490)).rest,
            "FileSize : 1075\nAnalysys ok.\nFile type VXD\n");
}

TEST_F(ExeprobeTest, ThirtyTwoBitProgram) {
  PeImage pe;
  pe.imports = {"KERNEL32.dll", "user32.dll"};
  PeLayout layout;
  const Bytes bytes = pe.Build(&layout);
  char expected[200];
  std::snprintf(expected, sizeof expected,
                "ImportTable :%x\nkernel32.dll\nuser32.dll\nFileSize : %u\nAnalysys ok.\nFile type WIN32\n",
                layout.importTable, layout.contentEnd);
  EXPECT_EQ(ProbeBytes(bytes).rest, expected);
  // A literal check of the same layout: headers in 0x200 bytes, .text, then
  // .idata at 0x400, ending at 0x600.
  EXPECT_EQ(ProbeBytes(bytes).rest,
            "ImportTable :400\nkernel32.dll\nuser32.dll\nFileSize : 1536\nAnalysys ok.\nFile type WIN32\n");
}

TEST_F(ExeprobeTest, SixteenBitProgramShowsNamesAsStored) {
  NeImage ne;
  ne.modules = {"KERNEL", "User"};
  ne.segments = {{0x10, 0x1F0}, {0, 0}};
  ne.resourceTypes = {{0x8002, {{0x30, 0x2}}}};
  NeLayout layout;
  const Bytes bytes = ne.Build(&layout);
  char expected[400];
  std::snprintf(expected, sizeof expected,
                "ImportTable :%x Module Offsets:%x\nKERNEL\nUser\nSegment : 100 [1f0]\n"
                "Segment : 0 [10000]\nResource Seg : 300 20\nAligned Size = 832\nFileSize : 800\n"
                "Analysys ok.\nFile type WIN16 or OS2 executable\n",
                layout.importedNames, layout.moduleRefTable);
  EXPECT_EQ(ProbeBytes(bytes).rest, expected);
}

TEST_F(ExeprobeTest, AnalysisErrors) {
  PeImage noImports;
  EXPECT_EQ(ProbeBytes(noImports.Build()).rest, "Analysys failed with error -6 (exe has no Import)\n");

  PeLayout layout;
  PeImage pe;
  pe.imports = {"a.dll"};
  Bytes noSections = pe.Build(&layout);
  Put16(noSections, layout.sectionCountField, 0);
  EXPECT_EQ(ProbeBytes(noSections).rest, "Analysys failed with error -2 (Invalid executable)\n");

  NeImage ne;
  ne.modules = {"GDI"};
  NeLayout neLayout;
  Bytes noSegmentTable = ne.Build(&neLayout);
  Put16(noSegmentTable, neLayout.newHeader + 0x22, 0);
  const ProbeRun run = ProbeBytes(noSegmentTable);
  EXPECT_NE(run.rest.find("\nGDI\nAnalysys failed with error -3 (Invalid 16-BIT executable)\n"),
            std::string::npos)
      << run.rest;

  MzHeader far;
  far.newHeaderOffset = 0x400;
  EXPECT_EQ(ProbeBytes(BuildDosExe(far, 0x100)).rest, "Analysys failed with error -7 (Access Violation)\n");
}

TEST_F(ExeprobeTest, OnlyTheFirstArgumentIsAnalysed) {
  const std::string first = dir_.Write("first.dat", BuildNtRegistry({}, 64));
  const ProbeRun run = Probe({"exeprobe", first, dir_.Join("second-is-missing")});
  EXPECT_EQ(run.rest, "FileSize : 64\nAnalysys ok.\nFile type Nt REGISTRY\n");
}

}  // namespace
}  // namespace testbuild
