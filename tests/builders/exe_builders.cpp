#include "tests/builders/exe_builders.h"

#include <algorithm>

namespace testbuild {

namespace {

constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;

struct Section {
  const char* name;
  Bytes raw;
  std::uint32_t characteristics;
};

// The import section, laid out for the virtual address it will get:
// descriptors, then per module its lookup table, address table, one
// hint/name entry and the module name.
Bytes BuildImportSection(const std::vector<std::string>& imports, std::uint32_t va, bool wide,
                         std::vector<std::uint32_t>* nameOffsets) {
  Bytes idata;
  const std::uint32_t thunk = wide ? 8 : 4;
  std::uint32_t cursor = static_cast<std::uint32_t>((imports.size() + 1) * 20);
  for (std::size_t i = 0; i < imports.size(); ++i) {
    const std::uint32_t lookup = cursor;
    const std::uint32_t address = lookup + 2 * thunk;
    const std::uint32_t hintName = address + 2 * thunk;
    const std::uint32_t name = hintName + 8;
    cursor = static_cast<std::uint32_t>(AlignUp(name + imports[i].size() + 1, 4));

    const std::size_t d = i * 20;
    Put32(idata, d + 0x00, va + lookup);
    Put32(idata, d + 0x0C, va + name);
    Put32(idata, d + 0x10, va + address);
    for (std::uint32_t table : {lookup, address}) {
      if (wide) {
        Put64(idata, table, va + hintName);
      } else {
        Put32(idata, table, va + hintName);
      }
    }
    PutText(idata, hintName + 2, "Entry");
    PutBytes(idata, name, Ascii(imports[i]));
    nameOffsets->push_back(name);
  }
  PadTo(idata, cursor);
  return idata;
}

// An export directory with one export of the code at codeVa and then the
// forwarders, whose strings lie inside the directory as the loader expects.
Bytes BuildExportSection(const std::vector<std::string>& forwarders, std::uint32_t va, std::uint32_t codeVa) {
  Bytes edata;
  const auto functions = static_cast<std::uint32_t>(forwarders.size() + 1);
  std::uint32_t cursor = 40 + 4 * functions;
  Put32(edata, 0x10, 1);  // ordinal base
  Put32(edata, 0x14, functions);
  Put32(edata, 0x1C, va + 40);
  Put32(edata, 40, codeVa);
  for (std::size_t i = 0; i < forwarders.size(); ++i) {
    Put32(edata, 40 + 4 * (i + 1), va + cursor);
    PutBytes(edata, cursor, Ascii(forwarders[i]));
    cursor += static_cast<std::uint32_t>(forwarders[i].size() + 1);
  }
  Put32(edata, 0x0C, va + cursor);
  PutBytes(edata, cursor, Ascii("forwarding.dll"));
  PadTo(edata, cursor + 15);
  return edata;
}

// Delay-load descriptors (32 bytes each, a zero one last), then the names.
Bytes BuildDelaySection(const std::vector<std::string>& modules, std::uint32_t va, bool byVirtualAddress,
                        std::uint64_t imageBase) {
  Bytes didat;
  std::uint32_t cursor = static_cast<std::uint32_t>((modules.size() + 1) * 32);
  for (std::size_t i = 0; i < modules.size(); ++i) {
    Put32(didat, i * 32, byVirtualAddress ? 0 : 1);
    Put32(didat, i * 32 + 4, static_cast<std::uint32_t>(va + cursor + (byVirtualAddress ? imageBase : 0)));
    PutBytes(didat, cursor, Ascii(modules[i]));
    cursor += static_cast<std::uint32_t>(modules[i].size() + 1);
  }
  PadTo(didat, cursor);
  return didat;
}

}  // namespace

std::uint32_t MzHeader::DosImageSize() const {
  return (static_cast<std::uint32_t>(pages) - 1) * 512u + lastPageBytes;
}

Bytes MzHeader::Build(std::size_t fileSize) const {
  Bytes out;
  PutText(out, 0, "MZ");
  Put16(out, 0x02, lastPageBytes);
  Put16(out, 0x04, pages);
  Put16(out, 0x08, 4);  // header paragraphs
  Put16(out, 0x18, relocationOffset);
  Put32(out, 0x3C, newHeaderOffset);
  PadTo(out, std::max<std::size_t>(fileSize, 64));
  return out;
}

Bytes BuildDosExe(const MzHeader& mz, std::size_t fileSize) {
  Bytes out = mz.Build(fileSize);
  // A few instructions, so the body is not all zeros: mov ax,4C00h; int 21h.
  if (out.size() >= 69) PutBytes(out, 64, {0xB8, 0x00, 0x4C, 0xCD, 0x21});
  return out;
}

std::uint32_t SectionField(const PeLayout& layout, std::uint32_t index, std::uint32_t field) {
  return layout.sectionTable + 40 * index + field;
}

Bytes PeImage::Build(PeLayout* layout) const {
  PeLayout local;
  PeLayout& l = layout != nullptr ? *layout : local;
  l = PeLayout();

  std::vector<Section> sections;
  sections.push_back({".text", code.empty() ? Bytes{0xC3} : code, 0x60000020});
  const std::size_t importIndex = imports.empty() ? 0 : sections.size();
  if (!imports.empty()) sections.push_back({".idata", {}, 0xC0000040});
  const std::size_t dataIndex = data.empty() ? 0 : sections.size();
  if (!data.empty()) sections.push_back({".data", data, 0xC0000040});
  const std::size_t exportIndex = forwarders.empty() ? 0 : sections.size();
  if (!forwarders.empty()) sections.push_back({".edata", {}, 0x40000040});
  const std::size_t delayIndex = delayImports.empty() ? 0 : sections.size();
  if (!delayImports.empty()) sections.push_back({".didat", {}, 0xC0000040});
  const std::uint64_t imageBase = pe32plus ? 0x140000000ull : 0x00400000u;

  const std::uint32_t h = mz.newHeaderOffset;
  const std::uint32_t optionalSize = pe32plus ? 0xF0 : 0xE0;
  l.newHeader = h;
  l.sectionCountField = h + 6;
  l.importDirectoryField = h + (pe32plus ? 0x90 : 0x80);
  l.sectionTable = h + 0x18 + optionalSize;
  l.sectionCount = static_cast<std::uint32_t>(sections.size());
  const auto headersSize =
      static_cast<std::uint32_t>(AlignUp(l.sectionTable + 40 * sections.size(), kFileAlignment));

  // Virtual addresses and file offsets, one after another.
  std::vector<std::uint32_t> va(sections.size()), raw(sections.size());
  std::uint32_t nextVa = kSectionAlignment, nextRaw = headersSize;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    va[i] = nextVa;
    raw[i] = nextRaw;
    if (i == importIndex && !imports.empty()) {
      sections[i].raw = BuildImportSection(imports, va[i], pe32plus, &l.nameOffsets);
      for (std::uint32_t& offset : l.nameOffsets) offset += raw[i];
    }
    if (i == exportIndex && !forwarders.empty()) sections[i].raw = BuildExportSection(forwarders, va[i], va[0]);
    if (i == delayIndex && !delayImports.empty()) {
      sections[i].raw = BuildDelaySection(delayImports, va[i], delayByVirtualAddress, imageBase);
    }
    const std::size_t length = std::max<std::size_t>(sections[i].raw.size(), 1);
    nextVa += static_cast<std::uint32_t>(AlignUp(length, kSectionAlignment));
    nextRaw += static_cast<std::uint32_t>(AlignUp(length, kFileAlignment));
  }

  Bytes out = mz.Build(headersSize);
  PutText(out, h, std::string("PE\0\0", 4));
  Put16(out, h + 0x04, pe32plus ? 0x8664 : 0x014C);
  Put16(out, h + 0x06, static_cast<std::uint16_t>(sections.size()));
  Put16(out, h + 0x14, static_cast<std::uint16_t>(optionalSize));
  Put16(out, h + 0x16, pe32plus ? 0x0022 : 0x0102);

  const std::uint32_t o = h + 0x18;
  Put16(out, o + 0, pe32plus ? 0x20B : 0x10B);
  Put32(out, o + 4, static_cast<std::uint32_t>(AlignUp(sections[0].raw.size(), kFileAlignment)));
  Put32(out, o + 16, va[0]);  // entry point
  Put32(out, o + 20, va[0]);  // base of code
  if (pe32plus) {
    Put64(out, o + 24, imageBase);
  } else {
    Put32(out, o + 28, static_cast<std::uint32_t>(imageBase));
  }
  Put32(out, o + 32, kSectionAlignment);
  Put32(out, o + 36, kFileAlignment);
  Put16(out, o + 40, 4);  // operating system version
  Put16(out, o + 48, 4);  // subsystem version
  Put32(out, o + 56, nextVa);  // size of image
  Put32(out, o + 60, headersSize);
  Put16(out, o + 68, 3);  // console subsystem
  const std::uint32_t directories = o + (pe32plus ? 112 : 96);
  Put32(out, directories - 4, 16);
  if (!imports.empty()) {
    Put32(out, l.importDirectoryField, va[importIndex]);
    Put32(out, l.importDirectoryField + 4, static_cast<std::uint32_t>((imports.size() + 1) * 20));
    l.importTable = raw[importIndex];
  }
  if (!forwarders.empty()) {
    Put32(out, directories, va[exportIndex]);
    Put32(out, directories + 4, static_cast<std::uint32_t>(sections[exportIndex].raw.size()));
  }
  if (!delayImports.empty()) {
    Put32(out, directories + 13 * 8, va[delayIndex]);
    Put32(out, directories + 13 * 8 + 4, static_cast<std::uint32_t>(sections[delayIndex].raw.size()));
  }

  for (std::size_t i = 0; i < sections.size(); ++i) {
    const std::uint32_t s = l.sectionTable + 40 * static_cast<std::uint32_t>(i);
    const auto rawSize = static_cast<std::uint32_t>(
        AlignUp(std::max<std::size_t>(sections[i].raw.size(), 1), kFileAlignment));
    PutText(out, s, sections[i].name);
    Put32(out, s + 0x08, static_cast<std::uint32_t>(sections[i].raw.size()));
    Put32(out, s + 0x0C, va[i]);
    Put32(out, s + 0x10, rawSize);
    Put32(out, s + 0x14, raw[i]);
    Put32(out, s + 0x24, sections[i].characteristics);
    PutBytes(out, raw[i], sections[i].raw);
    PadTo(out, raw[i] + rawSize);
  }
  l.contentStart = raw.front();
  l.contentEnd = static_cast<std::uint32_t>(out.size());
  if (!data.empty()) l.dataOffset = raw[dataIndex];
  return out;
}

Bytes NeImage::Build(NeLayout* layout) const {
  NeLayout local;
  NeLayout& l = layout != nullptr ? *layout : local;
  l = NeLayout();

  const std::uint32_t h = mz.newHeaderOffset;
  Bytes out = mz.Build(h);
  l.newHeader = h;
  std::uint32_t cursor = h + 0x40;

  l.segmentTable = cursor;
  for (const NeSegment& segment : segments) {
    Put16(out, cursor, segment.position);
    Put16(out, cursor + 2, segment.length);
    Put16(out, cursor + 4, 0x0D00);  // flags: movable, preloaded
    Put16(out, cursor + 6, segment.length);
    cursor += 8;
  }

  std::uint32_t extent = 0;
  if (!resourceTypes.empty()) {
    l.resourceTable = cursor;
    Put16(out, cursor, resourceShift);
    cursor += 2;
    for (const NeResourceType& type : resourceTypes) {
      Put16(out, cursor, type.typeId);
      Put16(out, cursor + 2, static_cast<std::uint16_t>(type.resources.size()));
      cursor += 8;
      std::uint16_t id = 1;
      for (const NeResource& resource : type.resources) {
        Put16(out, cursor, resource.position);
        Put16(out, cursor + 2, resource.length);
        Put16(out, cursor + 4, 0x0030);
        Put16(out, cursor + 6, static_cast<std::uint16_t>(0x8000 | id++));
        cursor += 12;
        extent = std::max(extent, (static_cast<std::uint32_t>(resource.position) << resourceShift) +
                                      (static_cast<std::uint32_t>(resource.length) << resourceShift));
      }
    }
    Put16(out, cursor, 0);
    cursor += 2;
  }

  l.residentNames = cursor;
  Put8(out, cursor, static_cast<std::uint8_t>(moduleName.size()));
  PutText(out, cursor + 1, moduleName);
  cursor += 1 + static_cast<std::uint32_t>(moduleName.size());
  Put16(out, cursor, 0);
  Put8(out, cursor + 2, 0);
  cursor += 3;

  l.moduleRefTable = cursor;
  cursor += 2 * static_cast<std::uint32_t>(modules.size());
  l.importedNames = cursor;
  Put8(out, cursor, 0);  // offset 0 holds an empty name by custom
  std::uint32_t nameCursor = 1;
  for (std::size_t i = 0; i < modules.size(); ++i) {
    Put16(out, l.moduleRefTable + 2 * i, static_cast<std::uint16_t>(nameCursor));
    Put8(out, l.importedNames + nameCursor, static_cast<std::uint8_t>(modules[i].size()));
    PutText(out, l.importedNames + nameCursor + 1, modules[i]);
    nameCursor += 1 + static_cast<std::uint32_t>(modules[i].size());
  }
  cursor = l.importedNames + nameCursor;

  const std::uint32_t entryTable = cursor;
  Put8(out, cursor, 0);
  cursor += 2;

  l.nonResidentNames = cursor;
  const std::string description = "Sample module";
  Put8(out, cursor, static_cast<std::uint8_t>(description.size()));
  PutText(out, cursor + 1, description);
  cursor += 1 + static_cast<std::uint32_t>(description.size());
  Put16(out, cursor, 0);
  Put8(out, cursor + 2, 0);
  cursor += 3;

  l.bodyOffset = cursor;
  PutBytes(out, cursor, body);

  PutText(out, h, "NE");
  Put8(out, h + 0x02, 5);
  Put16(out, h + 0x04, static_cast<std::uint16_t>(entryTable - h));
  Put16(out, h + 0x06, 2);
  Put16(out, h + 0x0C, 0x0302);
  Put16(out, h + 0x1C, static_cast<std::uint16_t>(segments.size()));
  Put16(out, h + 0x1E, static_cast<std::uint16_t>(modules.size()));
  Put16(out, h + 0x20, static_cast<std::uint16_t>(description.size() + 4));
  Put16(out, h + 0x22, static_cast<std::uint16_t>(l.segmentTable - h));
  Put16(out, h + 0x24, static_cast<std::uint16_t>(l.resourceTable != 0 ? l.resourceTable - h : 0));
  Put16(out, h + 0x26, static_cast<std::uint16_t>(l.residentNames - h));
  Put16(out, h + 0x28, static_cast<std::uint16_t>(l.moduleRefTable - h));
  Put16(out, h + 0x2A, static_cast<std::uint16_t>(l.importedNames - h));
  Put32(out, h + 0x2C, l.nonResidentNames);
  Put16(out, h + 0x32, alignShift);
  Put8(out, h + 0x36, 2);  // Windows

  for (const NeSegment& segment : segments) {
    if (segment.position != 0) {
      extent = std::max(extent, (static_cast<std::uint32_t>(segment.position) << alignShift) +
                                    segment.length);
    }
  }
  PadTo(out, extent);
  return out;
}

Bytes BuildLe(const MzHeader& mz, std::uint32_t versionOffset, std::uint32_t versionLength,
              std::size_t fileSize) {
  Bytes out = mz.Build(fileSize);
  const std::uint32_t h = mz.newHeaderOffset;
  PutText(out, h, "LE");
  Put32(out, h + 0xB8, versionOffset);
  Put32(out, h + 0xBC, versionLength);
  return out;
}

namespace {

Bytes BuildRegistry(const char* signature, const Bytes& payload, std::size_t fileSize) {
  Bytes out;
  PutText(out, 0, signature);
  PutBytes(out, 0x20, payload);
  PadTo(out, fileSize);
  return out;
}

}  // namespace

Bytes BuildNtRegistry(const Bytes& payload, std::size_t fileSize) {
  return BuildRegistry("regf", payload, fileSize);
}

Bytes Build95Registry(const Bytes& payload, std::size_t fileSize) {
  return BuildRegistry("CREG", payload, fileSize);
}

}  // namespace testbuild
