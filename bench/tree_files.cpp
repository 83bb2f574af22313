#include "bench/tree_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace {

void Walk(const std::string& directory, bool skipHidden, Tree* tree) {
  DIR* listing = opendir(directory.c_str());
  if (listing == nullptr) {
    ++tree->unlistable;
    return;
  }
  tree->directories.push_back(directory);
  while (const dirent* entry = readdir(listing)) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    const std::string path = directory + "/" + name;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      if (!(skipHidden && name[0] == '.')) Walk(path, skipHidden, tree);
    } else if (S_ISREG(st.st_mode)) {
      tree->files.push_back(TreeFile{path, static_cast<std::uint64_t>(st.st_size)});
    }
  }
  closedir(listing);
}

}  // namespace

bool ListTree(const std::string& root, bool skipHidden, Tree* tree, std::string* error) {
  *tree = Tree{};
  struct stat st;
  if (root.empty() || stat(root.c_str(), &st) != 0) {
    *error = "'" + root + "': " + (root.empty() ? "empty path" : std::strerror(errno));
    return false;
  }
  if (S_ISREG(st.st_mode)) {
    tree->files.push_back(TreeFile{root, static_cast<std::uint64_t>(st.st_size)});
    return true;
  }
  if (!S_ISDIR(st.st_mode)) {
    *error = "'" + root + "' is neither a directory nor a regular file";
    return false;
  }
  Walk(root, skipHidden, tree);
  if (tree->directories.empty()) {
    *error = "'" + root + "': the directory cannot be listed";
    return false;
  }
  return true;
}

std::uint64_t TreeBytes(const Tree& tree) {
  std::uint64_t bytes = 0;
  for (const TreeFile& file : tree.files) bytes += file.size;
  return bytes;
}
