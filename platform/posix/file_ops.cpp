#include "platform/file_ops.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

#include "platform/ascii.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether the destination's folder already holds a file that Windows would
// take for the destination (same name but for ASCII case).
bool NameTakenIgnoringCase(const std::string& destination) {
  DIR* dir = opendir(FolderOf(destination).c_str());
  if (dir == nullptr) return false;
  const std::string name = NameOf(destination);
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

MoveResult Failed(int error) {
  MoveResult result;
  result.code = error;
  switch (error) {
    case EEXIST:
    case ENOTEMPTY:
      result.failure = kMoveNameTaken;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
      result.failure = kMoveAccessDenied;
      break;
    case EBUSY:
    case ETXTBSY:
      result.failure = kMoveInUse;
      break;
    case ENOSPC:
    case EDQUOT:
      result.failure = kMoveNoSpace;
      break;
    case ENOENT:
    case ENOTDIR:
      result.failure = kMoveNotFound;
      break;
    default:
      result.failure = kMoveOther;
  }
  return result;
}

// Flushes a folder's entries to disk; a folder that cannot be opened or
// flushed (some file systems refuse) counts as flushed.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without RENAME_NOREPLACE: a hard link refuses an existing
  // name just as well, and the old name goes only once the link stands.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  if (unlink(from.c_str()) != 0) {
    const int error = errno;
    unlink(to.c_str());
    errno = error;
    return false;
  }
  return true;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Copies the open source into the open target, up to the size the source
// had when it was opened.
bool CopyContents(int from, int to, off_t size) {
  char buffer[64 * 1024];
  off_t left = size;
  while (left > 0) {
    const std::size_t want = left < static_cast<off_t>(sizeof buffer) ? static_cast<std::size_t>(left) : sizeof buffer;
    const ssize_t got = read(from, buffer, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) {
      errno = EIO;  // the file shrank while it was copied
      return false;
    }
    if (!WriteAll(to, buffer, static_cast<std::size_t>(got))) return false;
    left -= got;
  }
  return true;
}

// A name in the destination folder that no library has: hidden, and no
// library extension, so a copy left by a crash is never counted or listed.
std::string TemporaryName(const std::string& destination) {
  static std::atomic<unsigned> counter{0};
  return FolderOf(destination) + ".tarnwick-partial-" + std::to_string(getpid()) + "-" +
         std::to_string(counter.fetch_add(1));
}

// The move across file systems: the copy is complete and on disk under its
// final name before the original goes. Any failure removes the copy.
MoveResult CopyAcross(const std::string& source, const std::string& destination) {
  const int from = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (from < 0) return Failed(errno);
  struct stat st;
  if (fstat(from, &st) != 0) {
    const int error = errno;
    close(from);
    return Failed(error);
  }
  if (!S_ISREG(st.st_mode)) {
    close(from);
    return Failed(EINVAL);
  }
  std::string temporary;
  int to = -1;
  for (int attempt = 0; attempt < 100 && to < 0; ++attempt) {
    temporary = TemporaryName(destination);
    to = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (to < 0 && errno != EEXIST) break;
  }
  if (to < 0) {
    const int error = errno;
    close(from);
    return Failed(error);
  }
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  // The owner too, where this process may give it (as root); before the
  // mode, since a change of owner clears the set-id bits.
  const bool owned = fchown(to, st.st_uid, st.st_gid) == 0 || errno == EPERM;
  bool copied = CopyContents(from, to, st.st_size) && owned && fchmod(to, st.st_mode & 07777) == 0 &&
                futimens(to, times) == 0 && fsync(to) == 0;
  int error = errno;
  if (close(to) != 0 && copied) {
    copied = false;
    error = errno;
  }
  close(from);
  if (copied && NameTakenIgnoringCase(destination)) {
    copied = false;
    error = EEXIST;
  }
  if (copied && !RenameNoReplace(temporary, destination)) {
    copied = false;
    error = errno;
  }
  if (!copied) {
    unlink(temporary.c_str());
    return Failed(error);
  }
  SyncFolder(FolderOf(destination));
  // Two complete copies now; the original goes, or else the copy does.
  if (unlink(source.c_str()) != 0) {
    error = errno;
    unlink(destination.c_str());
    SyncFolder(FolderOf(destination));
    return Failed(error);
  }
  SyncFolder(FolderOf(source));
  return MoveResult();
}

}  // namespace

bool PathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool NameTaken(const std::string& path) { return PathExists(path) || NameTakenIgnoringCase(path); }

bool MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

MoveResult MoveFileNoReplace(const std::string& source, const std::string& destination) {
  struct stat st;
  if (lstat(source.c_str(), &st) != 0) return Failed(errno);
  if (NameTakenIgnoringCase(destination)) return Failed(EEXIST);
  if (RenameNoReplace(source, destination)) {
    SyncFolder(FolderOf(destination));
    SyncFolder(FolderOf(source));
    return MoveResult();
  }
  if (errno != EXDEV) return Failed(errno);
  return CopyAcross(source, destination);
}

std::string SystemErrorText(int code) {
  std::string text = strerror(code);
  if (!text.empty()) text[0] = LowerAscii(text[0]);
  return text;
}

bool AppendDurably(const std::string& path, const std::string& text) {
  const bool existed = PathExists(path);
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, text.data(), text.size()) && fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok && !existed) SyncFolder(FolderOf(path));
  return ok;
}

int RemoveAbandonedPartialCopies(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return 0;
  int removed = 0;
  const std::string prefix = ".tarnwick-partial-";
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
    // A copy whose process still runs may be under way.
    if (pid <= 0 || (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) continue;
    const std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
    if (unlink(path.c_str()) == 0) ++removed;
  }
  closedir(dir);
  return removed;
}
