// The running instance as a locked runtime file that holds its banner.
#include "platform/instance.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

int gPublishedFile = -1;
std::string gPublishedPath;

std::string RuntimeDirectory() {
  for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
    const char* value = std::getenv(variable);
    struct stat st;
    if (value != nullptr && *value != 0 && stat(value, &st) == 0 && S_ISDIR(st.st_mode)) return value;
  }
  return "/tmp";
}

// A marker is a bare file name; anything else could lead outside the
// runtime folder.
bool IsPlainName(const char* marker) {
  const std::string name = marker != nullptr ? marker : "";
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

RunningInstance FindRunningInstance(const char* marker) {
  RunningInstance instance;
  if (!IsPlainName(marker)) return instance;
  const std::string path = RuntimeDirectory() + "/" + marker;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return instance;
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK) {
    char banner[260];
    const ssize_t length = pread(fd, banner, sizeof banner - 1, 0);
    instance.found = true;
    instance.banner.assign(banner, length > 0 ? static_cast<std::size_t>(length) : 0);
    instance.id = lock.l_pid;
  }
  close(fd);
  return instance;
}

std::string ActivateRunningInstance(const RunningInstance& instance) {
  return "Tarnwick runs as process " + std::to_string(instance.id) +
         "; its window cannot be brought to the front from here.";
}

std::string PublishRunningInstance(void*, const char* banner) {
  WithdrawRunningInstance();
  const std::string marker =
      "tarnwick-" + std::to_string(getuid()) + "-" + std::to_string(getpid()) + ".instance";
  const std::string path = RuntimeDirectory() + "/" + marker;
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return std::string();
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  const std::string text = banner != nullptr ? banner : "";
  if (fcntl(fd, F_SETLK, &lock) != 0 || ftruncate(fd, 0) != 0 ||
      pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
    close(fd);
    unlink(path.c_str());
    return std::string();
  }
  gPublishedFile = fd;
  gPublishedPath = path;
  return marker;
}

void WithdrawRunningInstance() {
  if (gPublishedFile < 0) return;
  unlink(gPublishedPath.c_str());
  close(gPublishedFile);
  gPublishedFile = -1;
  gPublishedPath.clear();
}
