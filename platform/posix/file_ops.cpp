#include "platform/file_ops.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/ascii.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

// Whether the destination's folder already holds a file that Windows would
// take for the destination (same name but for ASCII case).
bool NameTakenIgnoringCase(const std::string& destination) {
  const std::size_t slash = destination.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : destination.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? destination : destination.substr(slash + 1);
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  bool taken = false;
  while (const dirent* entry = readdir(dir)) {
    if (EqualIgnoringAsciiCase(entry->d_name, name.c_str())) {
      taken = true;
      break;
    }
  }
  closedir(dir);
  return taken;
}

}  // namespace

bool PathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

bool MoveFileNoReplace(const std::string& source, const std::string& destination) {
  if (NameTakenIgnoringCase(destination)) return false;
  if (syscall(SYS_renameat2, AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;  // EEXIST, EXDEV and the rest: nothing moved
  // A file system without RENAME_NOREPLACE: a hard link refuses an existing
  // name just as well, and the source's name goes only once the link stands.
  if (link(source.c_str(), destination.c_str()) != 0) return false;
  if (unlink(source.c_str()) != 0) {
    unlink(destination.c_str());
    return false;
  }
  return true;
}
