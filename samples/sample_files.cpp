#include "samples/sample_files.h"

#include "tests/builders/exe_builders.h"

namespace samples {

using namespace testbuild;

namespace {

PeImage Program32() {
  PeImage pe;
  pe.imports = {"KERNEL32.dll", "USER32.dll", "msvcrt.dll"};
  pe.code = Bytes(0x180, 0x90);
  pe.data = Concat({Ascii("Unused Library"), Ascii("plugin.dll"), Utf16("Helper.DLL")});
  return pe;
}

NeImage Program16() {
  NeImage ne;
  ne.moduleName = "NOTEPAD";
  ne.modules = {"KERNEL", "GDI", "USER", "COMMDLG", "SHELL"};
  ne.segments = {{0x20, 0x1A40}, {0x1D0, 0x0C10}, {0, 0x200}};
  ne.resourceTypes = {{0x8003, {{0x2A0, 0x20}, {0x2C0, 0x10}}}, {0x800E, {{0x2D0, 0x2}}}};
  ne.body = Ascii("toolhelp");
  return ne;
}

MzHeader DosHeader(std::uint16_t relocationOffset) {
  MzHeader mz;
  mz.relocationOffset = relocationOffset;
  mz.newHeaderOffset = 0;
  return mz;
}

}  // namespace

std::vector<SampleFile> SampleFiles() {
  std::vector<SampleFile> files;

  files.push_back({"notepad32.exe", Program32().Build(), "32-bit program (PE32) with three imports"});

  PeImage wide = Program32();
  wide.pe32plus = true;
  wide.imports = {"KERNEL32.dll", "ADVAPI32.dll", "comctl32.DLL"};
  files.push_back({"setup64.exe", wide.Build(), "64-bit program (PE32+)"});

  PeImage resourceOnly;
  resourceOnly.code = Ascii("strings only");
  files.push_back({"msgtable.dll", resourceOnly.Build(), "32-bit library without imports"});

  files.push_back({"write16.exe", Program16().Build(), "16-bit Windows program (NE)"});

  NeLayout layout;
  Bytes noSegments = Program16().Build(&layout);
  Put16(noSegments, layout.newHeader + 0x22, 0);
  files.push_back({"broken16.exe", noSegments, "NE program whose segment table is missing"});

  files.push_back({"vmouse.vxd", BuildLe(MzHeader(), 0x800, 0x60, 0x900), "virtual device driver (LE)"});
  files.push_back({"edit.com.exe", BuildDosExe(DosHeader(0x1C), 0x600), "plain DOS program"});
  files.push_back({"packed.exe", BuildDosExe(DosHeader(0x40), 0x600), "compressed DOS program"});

  MzHeader farHeader;
  farHeader.newHeaderOffset = 0x400;
  files.push_back({"truncated.exe", BuildDosExe(farHeader, 0x100), "new header past the end of the file"});

  files.push_back({"SOFTWARE", BuildNtRegistry(Utf16("C:\\WINNT\\system32\\helper.dll"), 8192),
                   "Windows NT registry hive"});
  files.push_back({"SYSTEM.DAT", Build95Registry(Ascii("C:\\WINDOWS\\SYSTEM\\plugin.dll"), 4096),
                   "Windows 95 registry"});
  files.push_back({"readme.txt",
                   Ascii("These files were made by the sample generator to show every kind of file.\r\n",
                         false),
                   "plain text"});
  files.push_back({"tiny.bin", Ascii("MZ tiny", false), "too short to analyse"});
  files.push_back({"empty.bin", {}, "empty file"});
  return files;
}

}  // namespace samples
