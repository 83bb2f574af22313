#include "usage/wine_builtin.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr long kMarkerOffset = 0x40;
constexpr char kMarker[] = "Wine builtin DLL";
constexpr std::size_t kMarkerLength = sizeof kMarker - 1;
}  // namespace

bool HasWineBuiltinMarker(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char bytes[kMarkerLength];
  // A short file yields fewer bytes than asked for, and is not marked.
  const bool marked = std::fseek(file, kMarkerOffset, SEEK_SET) == 0 &&
                      std::fread(bytes, 1, kMarkerLength, file) == kMarkerLength &&
                      std::memcmp(bytes, kMarker, kMarkerLength) == 0;
  std::fclose(file);
  return marked;
}
