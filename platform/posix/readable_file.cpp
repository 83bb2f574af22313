#include "platform/readable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

bool OpenReadable(const char* path, std::intptr_t* file, std::uint64_t* size) {
  // Only regular files, checked before opening too: opening a FIFO for
  // reading would wait for a writer.
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    close(fd);
    return false;
  }
  *file = fd;
  *size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

std::uint64_t ReadAt(std::intptr_t file, std::uint64_t offset, void* out, std::uint64_t length) {
  std::uint64_t done = 0;
  while (done < length) {
    const ssize_t got =
        pread(static_cast<int>(file), static_cast<char*>(out) + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::uint64_t>(got);
  }
  return done;
}

void CloseReadable(std::intptr_t file) { close(static_cast<int>(file)); }
