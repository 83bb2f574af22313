#include "platform/directory.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

bool ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return false;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
  closedir(dir);
  std::sort(names.begin(), names.end());

  const std::string base = directory.empty() || directory.back() == '/' ? directory : directory + "/";
  for (std::string& name : names) {
    DirectoryEntry entry;
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
  return true;
}
