#include "platform/directory.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {
// The code to report when the system failed without setting errno.
int FailureCode() { return errno != 0 ? errno : EIO; }
}  // namespace

int PathTooLongCode() { return ENAMETOOLONG; }
int NoSuchFolderCode() { return ENOENT; }

ListingResult ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  errno = 0;
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return {FailureCode()};
  // The type the directory itself records, where it records one, spares
  // reading each entry's inode: on a cold cache that is one disk read each.
  std::vector<std::pair<std::string, unsigned char>> names;
  // readdir answers null both at the end and on a failure; only a failure
  // sets errno.
  int readFailure = 0;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      readFailure = errno;
      break;
    }
    names.emplace_back(entry->d_name, entry->d_type);
  }
  closedir(dir);
  if (readFailure != 0) return {readFailure};
  std::sort(names.begin(), names.end());

  const std::string base = directory.empty() || directory.back() == '/' ? directory : directory + "/";
  for (auto& [name, type] : names) {
    DirectoryEntry entry;
    if (type == DT_REG || type == DT_DIR) {
      entry.isDirectory = type == DT_DIR;
      entry.isRegularFile = type == DT_REG;
      entry.name = std::move(name);
      entries->push_back(std::move(entry));
      continue;
    }
    const std::string path = base + name;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0) {
      entry.isLink = S_ISLNK(st.st_mode);
      if (entry.isLink && stat(path.c_str(), &st) != 0) st.st_mode = 0;  // a dangling link
      entry.isDirectory = S_ISDIR(st.st_mode);
      entry.isRegularFile = S_ISREG(st.st_mode);
    }
    entry.name = std::move(name);
    entries->push_back(std::move(entry));
  }
  return {};
}
