#include "platform/file_start.h"

#include <algorithm>
#include <fstream>

bool ReadFileStart(const std::string& path, std::size_t limit, std::string* bytes) {
  bytes->clear();
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return false;
  const std::streamoff size = file.tellg();
  if (size <= 0) return true;
  bytes->resize(std::min(static_cast<std::size_t>(size), limit));
  file.seekg(0);
  file.read(&(*bytes)[0], static_cast<std::streamsize>(bytes->size()));
  bytes->resize(static_cast<std::size_t>(file.gcount()));
  return true;
}
