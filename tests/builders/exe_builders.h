// Builders of executable and registry files, well-formed by default and easy
// to break on purpose: each Build() can report where it put every header and
// table (the *Layout records), so a test patches exactly the field it wants
// to spoil with Put16/Put32.
#ifndef TARNWICK_TESTS_BUILDERS_EXE_BUILDERS_H
#define TARNWICK_TESTS_BUILDERS_EXE_BUILDERS_H

#include <cstdint>
#include <string>
#include <vector>

#include "tests/builders/bytes.h"

namespace testbuild {

// The 64-byte DOS header. The defaults give a DOS image of 0x490 bytes that
// covers a new header at 0x80.
struct MzHeader {
  std::uint16_t lastPageBytes = 0x90;
  std::uint16_t pages = 3;
  std::uint16_t relocationOffset = 0x40;
  std::uint32_t newHeaderOffset = 0x80;

  std::uint32_t DosImageSize() const;
  // The header alone, padded with zeros to fileSize (at least 64 bytes).
  Bytes Build(std::size_t fileSize = 64) const;
};

// A plain DOS program: the header, then filler up to fileSize.
Bytes BuildDosExe(const MzHeader& mz, std::size_t fileSize);

// --- PE (32-bit PE32 or 64-bit PE32+) -------------------------------------

struct PeLayout {
  std::uint32_t newHeader = 0;           // H, where "PE\0\0" stands
  std::uint32_t sectionCountField = 0;   // H+6
  std::uint32_t importDirectoryField = 0;  // RVA; the size follows at +4
  std::uint32_t sectionTable = 0;        // first 40-byte section header
  std::uint32_t sectionCount = 0;
  std::uint32_t importTable = 0;         // file offset of the first descriptor
  std::vector<std::uint32_t> nameOffsets;  // file offset of each module name
  std::uint32_t contentStart = 0;        // first section's raw data
  std::uint32_t contentEnd = 0;          // end of the last section's raw data
  std::uint32_t dataOffset = 0;          // file offset of the data section's bytes
};

struct PeImage {
  bool pe32plus = false;
  MzHeader mz;
  // Imported module names, in table order, as the file stores them.
  std::vector<std::string> imports;
  Bytes code;  // the .text section
  Bytes data;  // a .data section, left out when empty (names loaded at run time)
  // Export forwarders as the file stores them ("module.Function"), in an
  // .edata section beside one export of the code itself.
  std::vector<std::string> forwarders;
  // Delay-loaded module names, in a .didat section; older linkers wrote
  // virtual addresses instead of relative ones into the descriptors.
  std::vector<std::string> delayImports;
  bool delayByVirtualAddress = false;

  Bytes Build(PeLayout* layout = nullptr) const;
};

// Offset of field (0x0C virtual address, 0x10 raw size, 0x14 raw pointer) of
// section header index.
std::uint32_t SectionField(const PeLayout& layout, std::uint32_t index, std::uint32_t field);

// --- NE (16-bit Windows) ---------------------------------------------------

struct NeSegment {
  std::uint16_t position = 0;  // in alignment units; 0: no data in the file
  std::uint16_t length = 0;    // bytes; 0 stands for 64 KiB
};

struct NeResource {
  std::uint16_t position = 0;  // in resource alignment units
  std::uint16_t length = 0;    // in resource alignment units
};

struct NeResourceType {
  std::uint16_t typeId = 0x8003;
  std::vector<NeResource> resources;
};

struct NeLayout {
  std::uint32_t newHeader = 0;
  std::uint32_t segmentTable = 0;     // file offsets of the tables
  std::uint32_t resourceTable = 0;    // 0 when there is none
  std::uint32_t residentNames = 0;
  std::uint32_t moduleRefTable = 0;
  std::uint32_t importedNames = 0;
  std::uint32_t nonResidentNames = 0;
  std::uint32_t bodyOffset = 0;       // where body was placed
};

struct NeImage {
  MzHeader mz;
  std::string moduleName = "SAMPLE";
  // Module references, in order, as the imported-names table stores them.
  std::vector<std::string> modules;
  std::uint16_t alignShift = 4;
  std::vector<NeSegment> segments;
  // No resource table at all when empty.
  std::uint16_t resourceShift = 4;
  std::vector<NeResourceType> resourceTypes;
  // Free bytes after the tables (code, strings); the file is also padded to
  // cover every segment and resource.
  Bytes body;

  Bytes Build(NeLayout* layout = nullptr) const;
};

// --- LE (virtual device driver) and registry files -------------------------

Bytes BuildLe(const MzHeader& mz, std::uint32_t versionOffset, std::uint32_t versionLength,
              std::size_t fileSize);
// "regf" (NT hive) or "CREG" (Windows 95), then payload, padded to fileSize.
Bytes BuildNtRegistry(const Bytes& payload = {}, std::size_t fileSize = 4096);
Bytes Build95Registry(const Bytes& payload = {}, std::size_t fileSize = 4096);

}  // namespace testbuild

#endif
