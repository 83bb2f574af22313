#include "platform/cache_ahead.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/readable_file.h"

namespace {

constexpr std::uint64_t kPageBytes = 4096;
constexpr std::uint64_t kStep = 1u << 20;

// Whether the page at offset is in the cache: a read that may not wait for
// the disk fails when it is not (and where the file system cannot tell),
// and has the system start reading it.
bool PageCached(int fd, std::uint64_t offset) {
  char byte;
  iovec one{&byte, 1};
  return preadv2(fd, &one, 1, static_cast<off_t>(offset / kPageBytes * kPageBytes), RWF_NOWAIT) == 1;
}

int NullDevice() {
  static const int fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
  return fd;
}

// Sending the file to /dev/null reads its pages into the cache, and the
// null device takes them without a copy.
std::uint64_t SendToNull(int fd, std::uint64_t end) {
  const int sink = NullDevice();
  off_t at = 0;
  while (sink >= 0 && static_cast<std::uint64_t>(at) < end) {
    const ssize_t sent = sendfile(sink, fd, &at, static_cast<std::size_t>(std::min(kStep, end - at)));
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) break;
  }
  return static_cast<std::uint64_t>(at);
}

// Where sendfile cannot read the file: reads into a scratch buffer.
std::uint64_t ReadThrough(int fd, std::uint64_t from, std::uint64_t end) {
  char scratch[64 << 10];
  std::uint64_t at = from;
  while (at < end) {
    const std::uint64_t got = ReadAt(fd, at, scratch, std::min<std::uint64_t>(sizeof scratch, end - at));
    if (got == 0) break;
    at += got;
  }
  return at;
}

}  // namespace

bool CacheAheadAvailable() { return true; }

std::uint64_t CacheFileAhead(const char* path, std::uint64_t limit) {
  std::intptr_t file = -1;
  std::uint64_t size = 0;
  if (!OpenReadable(path, &file, &size)) return 0;
  const int fd = static_cast<int>(file);
  const std::uint64_t end = std::min(size, limit);
  std::uint64_t read = 0;
  if (end > 0 && end <= kStep) {
    // A small file is only asked for: the reading thread goes on to the
    // next one while the disk reads it.
    if (posix_fadvise(fd, 0, static_cast<off_t>(end), POSIX_FADV_WILLNEED) == 0) read = end;
  } else if (end > 0 && !(PageCached(fd, 0) && PageCached(fd, end - 1))) {
    // A larger one is read before the thread goes on, which keeps the
    // threads from filling the disk's queue far ahead of the files being
    // examined (asking for large files too made cold searches slower).
    read = SendToNull(fd, end);
    if (read < end) read = ReadThrough(fd, read, end);
  }
  CloseReadable(file);
  return read;
}
