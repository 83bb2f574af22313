#include "platform/directory.h"

#include <windows.h>

bool ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  std::string pattern = directory;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += "*.*";
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    DirectoryEntry entry;
    entry.name = data.cFileName;
    entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.isRegularFile = !entry.isDirectory;
    entries->push_back(std::move(entry));
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return true;
}
