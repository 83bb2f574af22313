#include "usage/path_buffer.h"

#include <cstring>

#include "config/settings.h"

namespace {
constexpr std::size_t kPatternLength = 3;  // "*.*"
}

ListingResult ListFolder(char* path, std::size_t* length, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  // An empty path names no folder (a listing would take the current one).
  if (path[0] == 0) return {NoSuchFolderCode()};
  AppendBackslash(path, kPathCapacity);
  *length = std::strlen(path);
  if (*length + kPatternLength >= kPathCapacity) return {PathTooLongCode()};
  return ListDirectory(path, entries);
}

bool EntryPathFits(std::size_t length, const std::string& name, bool isFolder) {
  return length + name.size() + (isFolder ? 1 + kPatternLength : 0) < kPathCapacity;
}

bool AppendEntryName(char* path, std::size_t length, const std::string& name, bool isFolder) {
  if (!EntryPathFits(length, name, isFolder)) return false;
  std::memcpy(path + length, name.c_str(), name.size() + 1);
  return true;
}
