// Fuzz target of the file analysis: the input becomes a file on disk, which
// is analysed four ways (sorted names and content; unsorted names, content
// and the later-bound modules; trace only; read into a buffer a few bytes
// at first, as the search reads, which must agree with the mapped file). The callback reads every byte of
// the region, so a region that leaves the file shows up under
// AddressSanitizer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "analysis/analyze_file.h"
#include "base/pointer_list.h"
#include "platform/file_view.h"

namespace {

int TouchRegion(const std::uint8_t* start, std::uint32_t length, void* context, int kind) {
  unsigned sum = 0;
  for (std::uint32_t i = 0; i < length; ++i) sum += start[i];
  *static_cast<unsigned*>(context) += sum + static_cast<unsigned>(kind);
  return 0;
}

class CountingTrace : public AnalysisTrace {
 public:
  void Print(const char* text) override { characters += std::char_traits<char>::length(text); }
  std::size_t characters = 0;
};

const std::string& InputPath() {
  static const std::string path = [] {
    namespace fs = std::filesystem;
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    return (base / ("tarnwick-fuzz-" + std::to_string(reinterpret_cast<std::uintptr_t>(&base)) +
                    ".bin"))
        .string();
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = InputPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  if (size != 0) std::fwrite(data, 1, size, file);
  std::fclose(file);

  unsigned sum = 0;
  int result;
  SortedPointerList names;
  names.compare = CompareStrings;
  names.releaseItem = std::free;
  result = AnalyzeFile(path.c_str(), TouchRegion, &sum, &names);
  if (result < AE_ACCESS_VIOLATION || result > FK_DOS_COMPRESSED) std::abort();
  {
    // The first 7 bytes read at opening, the rest when a read reaches past
    // them; one buffer for every input, as a search thread has.
    static ReadBuffer buffer(ReadBuffer::kDefaultLargestFile, 7);
    SortedPointerList readNames;
    readNames.compare = CompareStrings;
    readNames.releaseItem = std::free;
    unsigned readSum = 0;
    const BothPassesResult read = AnalyzeFileForBothPasses(path.c_str(), &buffer, TouchRegion, &readSum, &readNames, nullptr);
    if (read.contentPass != result || readSum != sum || readNames.GetCount() != names.GetCount()) std::abort();
    for (int i = 0; i < names.GetCount(); ++i) {
      if (CompareStrings(names.GetAt(i), readNames.GetAt(i)) != 0) std::abort();
    }
  }
  // The forwarders and delay-load imports never change the result.
  PointerList unsorted, laterBound;
  unsorted.releaseItem = std::free;
  laterBound.releaseItem = std::free;
  if (AnalyzeFile(path.c_str(), TouchRegion, &sum, &unsorted, nullptr, &laterBound) != result) std::abort();
  CountingTrace trace;
  AnalyzeFile(path.c_str(), nullptr, nullptr, nullptr, &trace);
  std::remove(path.c_str());
  return 0;
}
