#include "analysis/later_bound_modules.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/file_reader.h"
#include "base/pointer_list.h"

namespace {

constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kExportDirectory = 0;
constexpr std::uint32_t kDelayImportDirectory = 13;
constexpr std::uint32_t kDelayDescriptorSize = 32;
// A module name longer than any path is no name the loader would take.
constexpr std::uint64_t kLongestName = 260;
// Far more than any linker writes; a hostile header cannot make the walk
// over its tables take long.
constexpr std::uint16_t kMostSections = 1024;
constexpr std::uint32_t kMostExports = 1u << 16;
constexpr std::uint32_t kMostDelayLoads = 1u << 12;

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t span;  // the larger of the virtual and the raw size
  std::uint32_t rawSize;
  std::uint32_t rawPointer;
};

class Image {
 public:
  Image(const FileReader& in, std::uint64_t h) : in_(in), h_(h) {}

  bool Load() {
    std::uint16_t sectionCount, optionalSize, magic;
    if (!in_.U16(h_ + 0x06, &sectionCount) || !in_.U16(h_ + 0x14, &optionalSize) ||
        !in_.U16(h_ + 0x18, &magic)) {
      return false;
    }
    if (sectionCount > kMostSections) return false;
    const bool wide = magic == kPe32PlusMagic;
    const std::uint64_t optional = h_ + 0x18;
    if (wide) {
      std::uint32_t low, high;
      if (!in_.U32(optional + 24, &low) || !in_.U32(optional + 28, &high)) return false;
      imageBase_ = low | (static_cast<std::uint64_t>(high) << 32);
    } else {
      std::uint32_t base;
      if (!in_.U32(optional + 28, &base)) return false;
      imageBase_ = base;
    }
    if (!in_.U32(optional + (wide ? 108 : 92), &directoryCount_)) return false;
    directories_ = optional + (wide ? 112 : 96);
    // Each directory entry must lie inside the optional header the file declares.
    const std::uint64_t room = optional + optionalSize > directories_ ? optional + optionalSize - directories_ : 0;
    if (directoryCount_ > room / 8) directoryCount_ = static_cast<std::uint32_t>(room / 8);

    const std::uint64_t table = optional + optionalSize;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
      const std::uint64_t s = table + 40ull * i;
      std::uint32_t virtualSize;
      Section section{};
      if (!in_.U32(s + 0x08, &virtualSize) || !in_.U32(s + 0x0C, &section.virtualAddress) ||
          !in_.U32(s + 0x10, &section.rawSize) || !in_.U32(s + 0x14, &section.rawPointer)) {
        return false;
      }
      section.span = virtualSize > section.rawSize ? virtualSize : section.rawSize;
      sections_.push_back(section);
    }
    return true;
  }

  bool Directory(std::uint32_t index, std::uint32_t* rva, std::uint32_t* size) const {
    if (index >= directoryCount_) return false;
    return in_.U32(directories_ + 8ull * index, rva) && in_.U32(directories_ + 8ull * index + 4, size) &&
           *rva != 0 && *size != 0;
  }

  // The file offset of a virtual address: inside a section's raw data, or
  // inside the headers ahead of every section.
  bool Offset(std::uint64_t rva, std::uint64_t* offset) const {
    std::uint64_t firstSection = UINT64_MAX;
    for (const Section& section : sections_) {
      if (section.virtualAddress < firstSection) firstSection = section.virtualAddress;
      if (rva < section.virtualAddress || rva - section.virtualAddress >= section.span) continue;
      const std::uint64_t into = rva - section.virtualAddress;
      if (into >= section.rawSize) return false;
      *offset = section.rawPointer + into;
      return true;
    }
    if (rva < firstSection && in_.Contains(rva, 1)) {
      *offset = rva;
      return true;
    }
    return false;
  }

  // The zero-terminated name at a virtual address, at most kLongestName bytes.
  bool Name(std::uint64_t rva, std::string* name) const {
    std::uint64_t offset, length;
    if (!Offset(rva, &offset) || !in_.StringLength(offset, &length) || length == 0 || length > kLongestName) {
      return false;
    }
    name->assign(reinterpret_cast<const char*>(in_.At(offset, length)), static_cast<std::size_t>(length));
    return !in_.Faulted();
  }

  std::uint64_t imageBase() const { return imageBase_; }

 private:
  const FileReader& in_;
  std::uint64_t h_;
  std::uint64_t imageBase_ = 0;
  std::uint32_t directoryCount_ = 0;
  std::uint64_t directories_ = 0;
  std::vector<Section> sections_;
};

void Deliver(std::string name, PointerList* sink) {
  char* copy = static_cast<char*>(std::malloc(name.size() + 1));
  if (copy == nullptr) return;
  for (std::size_t i = 0; i <= name.size(); ++i) {
    const char c = name.c_str()[i];
    copy[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  if (sink->Add(copy) < 0) std::free(copy);
}

// A forwarder names its module before the dot that precedes the function.
// Loaders split at the last dot; a module name with a dot of its own is
// also delivered up to its first dot, so that neither reading is missed.
void DeliverForwarder(const std::string& forwarder, PointerList* sink) {
  const std::size_t last = forwarder.rfind('.');
  if (last == std::string::npos || last == 0) return;
  Deliver(forwarder.substr(0, last), sink);
  const std::size_t first = forwarder.find('.');
  if (first != last && first != 0) Deliver(forwarder.substr(0, first), sink);
}

void CollectForwarders(const FileReader& in, const Image& image, PointerList* sink) {
  std::uint32_t exportRva, exportSize;
  std::uint64_t exportOffset;
  if (!image.Directory(kExportDirectory, &exportRva, &exportSize) || !image.Offset(exportRva, &exportOffset)) {
    return;
  }
  std::uint32_t functionCount, functionsRva;
  std::uint64_t functions;
  if (!in.U32(exportOffset + 0x14, &functionCount) || !in.U32(exportOffset + 0x1C, &functionsRva) ||
      !image.Offset(functionsRva, &functions)) {
    return;
  }
  std::string forwarder, module, previous;
  for (std::uint32_t i = 0; i < functionCount && i < kMostExports; ++i) {
    std::uint32_t functionRva;
    if (!in.U32(functions + 4ull * i, &functionRva)) return;
    // An export whose address lies inside the export directory is a forwarder string.
    if (functionRva < exportRva || functionRva - exportRva >= exportSize) continue;
    if (!image.Name(functionRva, &forwarder)) continue;
    // Forwarders to one module mostly stand together: each run goes out once.
    module.assign(forwarder, 0, forwarder.rfind('.'));
    if (module == previous) continue;
    previous = module;
    DeliverForwarder(forwarder, sink);
  }
}

void CollectDelayLoads(const FileReader& in, const Image& image, PointerList* sink) {
  std::uint32_t delayRva, delaySize;
  std::uint64_t descriptor;
  if (!image.Directory(kDelayImportDirectory, &delayRva, &delaySize) || !image.Offset(delayRva, &descriptor)) {
    return;
  }
  std::string name;
  for (std::uint32_t count = 0; count < kMostDelayLoads; ++count, descriptor += kDelayDescriptorSize) {
    std::uint32_t attributes, nameField;
    if (!in.U32(descriptor, &attributes) || !in.U32(descriptor + 4, &nameField) || nameField == 0) return;
    // Descriptors without the RVA attribute (older linkers) hold virtual addresses.
    std::uint64_t nameRva = nameField;
    if ((attributes & 1) == 0) {
      if (nameField < image.imageBase()) continue;
      nameRva = nameField - image.imageBase();
    }
    if (image.Name(nameRva, &name)) Deliver(name, sink);
  }
}

}  // namespace

void CollectLaterBoundModules(const FileReader& in, std::uint64_t h, PointerList* sink) {
  if (sink == nullptr) return;
  Image image(in, h);
  if (!image.Load()) return;
  CollectForwarders(in, image, sink);
  CollectDelayLoads(in, image, sink);
}
