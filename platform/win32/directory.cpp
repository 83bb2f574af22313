#include "platform/directory.h"

#include <windows.h>

namespace {
// The code to report when the system failed without saying why.
int FailureCode() {
  const DWORD code = GetLastError();
  return code != 0 ? static_cast<int>(code) : ERROR_READ_FAULT;
}
}  // namespace

int PathTooLongCode() { return ERROR_FILENAME_EXCED_RANGE; }
int NoSuchFolderCode() { return ERROR_PATH_NOT_FOUND; }

ListingResult ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  std::string pattern = directory;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += "*.*";
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return {FailureCode()};
  do {
    DirectoryEntry entry;
    entry.name = data.cFileName;
    entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.isRegularFile = !entry.isDirectory;
    entries->push_back(std::move(entry));
  } while (FindNextFileA(find, &data));
  // FindNextFileA fails at the end too; only ERROR_NO_MORE_FILES is the end.
  const DWORD stop = GetLastError();
  FindClose(find);
  if (stop != ERROR_NO_MORE_FILES) {
    entries->clear();
    return {stop != 0 ? static_cast<int>(stop) : ERROR_READ_FAULT};
  }
  return {};
}
