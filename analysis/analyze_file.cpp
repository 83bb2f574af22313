#include "analysis/analyze_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "analysis/file_reader.h"
#include "analysis/later_bound_modules.h"
#include "base/format.h"
#include "base/pointer_list.h"
#include "platform/file_view.h"

const char* const kFileKindNames[8] = {
    "Unknown Type", "Nt REGISTRY", "95_REGISTRY", "WIN16 or OS2 executable",
    "WIN32",        "VXD",         "DOS_EXE",     "DOS_COMPRESSED",
};

const char* const kAnalyzeErrorNames[8] = {
    "",
    "Not an Exe-file",
    "Invalid executable",
    "Invalid 16-BIT executable",
    "Cant open file",
    "Can't access memory",
    "exe has no Import",
    "Access Violation",
};

namespace {

constexpr std::uint32_t kMzHeaderSize = 64;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;

// Every failing read inside the header walk becomes this result.
constexpr int kFault = AE_ACCESS_VIOLATION;

void ToLowerAscii(char* text) {
  for (; *text != 0; ++text) {
    if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
  }
}

class Analysis {
 public:
  Analysis(FileView& file, ContentCallback callback, void* context, PointerList* sink,
           AnalysisTrace* trace, PointerList* laterBoundSink)
      : in_(file),
        callback_(callback),
        context_(context),
        sink_(sink),
        trace_(trace),
        laterBoundSink_(laterBoundSink) {}

  int Run();
  // What Run would have returned without the content callback: it differs
  // only where the region to search leaves the file or a read of the region
  // faulted, which ends a content analysis but not an import one.
  int ResultWithoutContent(int result) const { return reported_ ? resultBeforeContent_ : result; }

 private:
  int Guarded(int dosKind, std::uint32_t newHeader, std::uint32_t dosSize);
  int Pe(std::uint64_t h);
  int Ne(std::uint32_t newHeader);
  int NeExtent(std::uint64_t h, std::uint32_t start);
  int Le(std::uint64_t h, std::uint32_t dosSize);
  int Report(int kind, std::uint32_t start, std::uint32_t end);
  // Hands a malloc'ed, lower-cased name to the sink, or frees it.
  void Deliver(char* name);
  void Trace(const char* format, ...);

  FileReader in_;
  ContentCallback callback_;
  void* context_;
  PointerList* sink_;
  AnalysisTrace* trace_;
  PointerList* laterBoundSink_;
  bool reported_ = false;
  int resultBeforeContent_ = 0;
};

void Analysis::Trace(const char* format, ...) {
  if (trace_ == nullptr) return;
  va_list args;
  va_start(args, format);
  const std::string text = FormatStringV(format, args);
  va_end(args);
  if (!text.empty()) trace_->Print(text.c_str());
}

void Analysis::Deliver(char* name) {
  if (sink_ == nullptr || sink_->Add(name) < 0) std::free(name);
}

int Analysis::Run() {
  if (in_.size() < kMzHeaderSize) return FK_UNKNOWN_TYPE;
  std::uint8_t header[kMzHeaderSize];
  if (!in_.Bytes(0, header, sizeof header)) return kFault;

  if (header[0] != 'M' || header[1] != 'Z') {
    int kind = FK_UNKNOWN_TYPE;
    if (header[0] == 'r' && header[1] == 'e' && header[2] == 'g' && header[3] == 'f') {
      kind = FK_NT_REGISTRY;
    } else if (header[0] == 'C' && header[1] == 'R' && header[2] == 'E' && header[3] == 'G') {
      kind = FK_95_REGISTRY;
    }
    return Report(kind, 0, in_.size());
  }

  auto field16 = [&](int at) { return static_cast<std::uint32_t>(header[at] | (header[at + 1] << 8)); };
  const std::uint32_t lastPageBytes = field16(0x02);
  const std::uint32_t pages = field16(0x04);
  const std::uint32_t relocationOffset = field16(0x18);
  const std::uint32_t newHeader = field16(0x3C) | (field16(0x3E) << 16);
  const std::uint32_t dosSize = (pages - 1) * 512u + lastPageBytes;
  const int dosKind = relocationOffset >= 64 ? FK_DOS_COMPRESSED : FK_DOS_EXE;

  if (newHeader > dosSize) {
    // The DOS image may claim more than the file holds: search only what is there.
    return Report(dosKind, 0, dosSize < in_.size() ? dosSize : in_.size());
  }
  return Guarded(dosKind, newHeader, dosSize);
}

int Analysis::Guarded(int dosKind, std::uint32_t newHeader, std::uint32_t dosSize) {
  const std::uint64_t h = newHeader;
  std::uint16_t signature;
  if (!in_.U16(h, &signature)) return kFault;
  if (signature == ('P' | ('E' << 8))) {
    std::uint32_t full;
    if (!in_.U32(h, &full)) return kFault;
    if (full == 0x00004550u) return Pe(h);
  }
  if (signature == ('N' | ('E' << 8))) return Ne(newHeader);
  if (signature == ('L' | ('E' << 8))) return Le(h, dosSize);
  return Report(dosKind, 0, dosSize);
}

int Analysis::Pe(std::uint64_t h) {
  // Ahead of the import table, whose absence or damage ends the analysis.
  CollectLaterBoundModules(in_, h, laterBoundSink_);
  std::uint16_t sections;
  if (!in_.U16(h + 0x06, &sections)) return kFault;
  if (sections == 0) return AE_INVALID_EXECUTABLE;

  // The fixed offsets below are those of a 32-bit optional header; a PE32+
  // (64-bit) image has a longer one, which moves the data directories and
  // the section table.
  std::uint16_t magic;
  if (!in_.U16(h + 0x18, &magic)) return kFault;
  const bool wide = magic == kPe32PlusMagic;
  const std::uint64_t importEntry = h + (wide ? 0x90 : 0x80);
  const std::uint64_t sectionTable = h + (wide ? 0x108 : 0xF8);
  auto sectionField = [&](std::uint32_t index, std::uint32_t field, std::uint32_t* out) {
    return in_.U32(sectionTable + 40ull * index + field, out);
  };

  std::uint32_t importRva, importSize;
  if (!in_.U32(importEntry + 4, &importSize)) return kFault;
  if (importSize == 0) return AE_NO_IMPORT;
  if (!in_.U32(importEntry, &importRva)) return kFault;

  // The last header, in table order, that starts at or below the directory
  // decides the delta from virtual addresses to file offsets.
  std::uint32_t delta = 0;
  bool located = false;
  for (std::uint32_t i = sections; i-- > 0;) {
    std::uint32_t virtualAddress;
    if (!sectionField(i, 0x0C, &virtualAddress)) return kFault;
    if (virtualAddress <= importRva) {
      std::uint32_t rawPointer;
      if (!sectionField(i, 0x14, &rawPointer)) return kFault;
      delta = rawPointer - virtualAddress;
      located = true;
      break;
    }
  }
  if (!located) return AE_INVALID_EXECUTABLE;

  const std::uint32_t importOffset = importRva + delta;
  Trace("ImportTable :%x\n", importOffset);
  for (std::uint64_t descriptor = importOffset;; descriptor += 20) {
    std::uint32_t nameRva;
    if (!in_.U32(descriptor + 0x0C, &nameRva)) return kFault;
    if (nameRva == 0) break;
    const std::uint32_t nameOffset = nameRva + delta;
    std::uint64_t length;
    if (!in_.StringLength(nameOffset, &length)) return kFault;
    char* name = static_cast<char*>(std::malloc(length + 1));
    if (name == nullptr) return kFault;
    if (!in_.Bytes(nameOffset, name, length + 1)) {
      std::free(name);
      return kFault;
    }
    ToLowerAscii(name);
    Trace("%s\n", name);
    Deliver(name);
  }

  std::uint32_t firstRaw, lastRaw, lastRawSize;
  if (!sectionField(sections - 1u, 0x14, &lastRaw) || !sectionField(sections - 1u, 0x10, &lastRawSize) ||
      !sectionField(0, 0x14, &firstRaw)) {
    return kFault;
  }
  return Report(FK_WIN32, firstRaw, lastRaw + lastRawSize);
}

int Analysis::Ne(std::uint32_t newHeader) {
  const std::uint64_t h = newHeader;
  std::uint16_t moduleCount, moduleRefTable, importedNames, segmentTable;
  if (!in_.U16(h + 0x1E, &moduleCount) || !in_.U16(h + 0x28, &moduleRefTable) ||
      !in_.U16(h + 0x2A, &importedNames)) {
    return kFault;
  }
  const std::uint64_t m = h + moduleRefTable;
  const std::uint64_t t = h + importedNames;
  if (!in_.Contains(t, 1)) return AE_INVALID_16BIT;
  Trace("ImportTable :%x Module Offsets:%x\n", static_cast<std::uint32_t>(t),
        static_cast<std::uint32_t>(m));

  for (std::uint32_t i = 0; i < moduleCount; ++i) {
    std::uint16_t entry;
    std::uint8_t length;
    if (!in_.U16(m + 2ull * i, &entry) || !in_.U8(t + entry, &length)) return kFault;
    char* name = static_cast<char*>(std::malloc(length + 1u));
    if (name == nullptr) return kFault;
    if (!in_.Bytes(t + entry + 1, name, length)) {
      std::free(name);
      return kFault;
    }
    name[length] = 0;
    Trace("%s\n", name);
    if (sink_ != nullptr) {
      ToLowerAscii(name);
      Deliver(name);
    } else {
      std::free(name);
    }
  }

  const std::uint32_t start = newHeader + importedNames;
  if (!in_.U16(h + 0x22, &segmentTable)) return kFault;
  if (segmentTable == 0) return AE_INVALID_16BIT;
  return NeExtent(h, start);
}

int Analysis::NeExtent(std::uint64_t h, std::uint32_t start) {
  std::uint16_t segments, segmentTable, alignShift, resourceTable;
  if (!in_.U16(h + 0x1C, &segments) || !in_.U16(h + 0x22, &segmentTable) ||
      !in_.U16(h + 0x32, &alignShift) || !in_.U16(h + 0x24, &resourceTable)) {
    return kFault;
  }
  std::uint32_t maxEnd = 0;

  const std::uint32_t unit = 1u << (alignShift % 32);
  for (std::uint32_t i = 0; i < segments; ++i) {
    std::uint16_t position, length;
    const std::uint64_t entry = h + segmentTable + 8ull * i;
    if (!in_.U16(entry, &position) || !in_.U16(entry + 2, &length)) return kFault;
    Trace("Segment : %x [%x]\n", position * unit, length != 0 ? length : 0x10000u);
    if (position != 0) {
      const std::uint32_t end = position * unit + length;
      if (end >= maxEnd) maxEnd = end;
    }
  }

  if (resourceTable != 0) {
    std::uint16_t shiftField;
    if (!in_.U16(h + resourceTable, &shiftField)) return kFault;
    const unsigned shift = shiftField % 32u;
    std::uint64_t p = h + resourceTable + 2;
    if (!in_.Contains(p, 1)) return AE_INVALID_16BIT;

    std::uint16_t residentNames, moduleRefTable, importedNames;
    std::uint32_t nonResidentNames;
    if (!in_.U16(h + 0x26, &residentNames) || !in_.U16(h + 0x28, &moduleRefTable) ||
        !in_.U16(h + 0x2A, &importedNames) || !in_.U32(h + 0x2C, &nonResidentNames)) {
      return kFault;
    }
    // The resource table runs up to whichever table follows it.
    std::uint32_t remaining = 10000;
    const std::uint32_t following[] = {residentNames, moduleRefTable, importedNames, nonResidentNames};
    for (std::uint32_t next : following) {
      if (next != 0) {
        remaining = next - resourceTable;
        break;
      }
    }

    for (;;) {
      if (remaining <= 20) break;
      std::uint16_t count;
      if (!in_.U16(p + 2, &count)) return kFault;
      if (count != 0) {
        const std::uint64_t q = p + 8 + (count - 1ull) * 12;
        remaining -= 8 + (count - 1u) * 12;
        p = q + 12;
        std::uint16_t position, length;
        if (!in_.U16(q, &position) || !in_.U16(q + 2, &length)) return kFault;
        const std::uint32_t scaledPosition = static_cast<std::uint32_t>(position) << shift;
        const std::uint32_t scaledLength = static_cast<std::uint32_t>(length) << shift;
        Trace("Resource Seg : %x %x\n", scaledPosition, scaledLength);
        const std::uint32_t end = scaledPosition + scaledLength;
        if (end >= maxEnd) maxEnd = end;
      } else {
        p += 20;
      }
      std::uint16_t type;
      if (!in_.U16(p, &type)) return kFault;
      if (type == 0) break;
    }
  }

  std::uint32_t end = in_.size();
  if (maxEnd != 0) {
    end = maxEnd;
    if (maxEnd % 64 != 0) Trace("Aligned Size = %d\n", static_cast<int>((maxEnd / 64 + 1) * 64));
  }
  return Report(FK_WIN16_OR_OS2, start, end);
}

int Analysis::Le(std::uint64_t h, std::uint32_t dosSize) {
  std::uint32_t versionLength;
  if (!in_.U32(h + 0xBC, &versionLength)) return kFault;
  std::uint32_t end = dosSize;
  if (versionLength != 0) {
    std::uint32_t versionOffset;
    if (!in_.U32(h + 0xB8, &versionOffset)) return kFault;
    end = versionOffset + versionLength;
  }
  return Report(FK_VXD, 0, end);
}

int Analysis::Report(int kind, std::uint32_t start, std::uint32_t end) {
  Trace("FileSize : %d\n", static_cast<int>(end));
  reported_ = true;
  resultBeforeContent_ = in_.Faulted() ? kFault : kind;
  if (callback_ != nullptr) {
    // The callback reads the whole region: one that leaves the file is a
    // read outside it.
    const std::uint32_t length = end - start;
    if (!in_.Contains(start, length)) return kFault;
    callback_(in_.At(start, length), length, context_, kind);
  }
  if (in_.Faulted()) return kFault;
  return kind;
}

}  // namespace

int AnalyzeFile(const char* path, ContentCallback callback, void* callbackContext,
                PointerList* nameSink, AnalysisTrace* trace, PointerList* laterBoundSink) {
  FileView file;
  const int opened = file.Open(path, nullptr);
  if (opened != 0) return opened;
  return Analysis(file, callback, callbackContext, nameSink, trace, laterBoundSink).Run();
}

BothPassesResult AnalyzeFileForBothPasses(const char* path, ReadBuffer* buffer, ContentCallback callback,
                                          void* callbackContext, PointerList* nameSink, PointerList* laterBoundSink) {
  FileView file;
  const int opened = file.Open(path, buffer);
  if (opened != 0) return {opened, opened};
  Analysis analysis(file, callback, callbackContext, nameSink, nullptr, laterBoundSink);
  const int withContent = analysis.Run();
  return {analysis.ResultWithoutContent(withContent), withContent};
}
