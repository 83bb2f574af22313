#include "platform/file_ops.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace {

MoveResult Failed(DWORD error) {
  MoveResult result;
  result.code = static_cast<int>(error);
  switch (error) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      result.failure = kMoveNameTaken;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      result.failure = kMoveAccessDenied;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      result.failure = kMoveInUse;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      result.failure = kMoveNoSpace;
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      result.failure = kMoveNotFound;
      break;
    default:
      result.failure = kMoveOther;
  }
  return result;
}


}  // namespace

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Windows compares names without regard to case itself.
bool NameTaken(const std::string& path) { return PathExists(path); }

bool MakeDirectory(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Makes sure the file's data are on disk.
bool FlushFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != FALSE;
  CloseHandle(file);
  return flushed;
}

// To another volume: what MoveFileExA with MOVEFILE_COPY_ALLOWED and
// MOVEFILE_WRITE_THROUGH does, in steps whose failures can be undone. The
// copy goes to a hidden name beside the destination and reaches the disk
// before it takes its name (never replacing); the original goes last, and
// when it cannot go (access denied, in use) the copy is removed again. So
// no failure leaves a partial copy under a library's name, nor a copy
// counted as moved while the original stays.
MoveResult CopyAcross(const std::string& source, const std::string& destination) {
  static std::atomic<unsigned> counter{0};
  const std::string temporary = FolderOf(destination) + ".tarnwick-partial-" +
                                std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
  if (!CopyFileA(source.c_str(), temporary.c_str(), TRUE) || !FlushFile(temporary)) {
    const DWORD error = GetLastError();
    DeleteFileA(temporary.c_str());
    return Failed(error);
  }
  if (!MoveFileExA(temporary.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileA(temporary.c_str());
    return Failed(error);
  }
  // A deletion can be reported done while the file stays (Wine on a
  // read-only file system): the original must be gone before the move is.
  const bool deleted = DeleteFileA(source.c_str()) != FALSE;
  const DWORD error = deleted ? ERROR_ACCESS_DENIED : GetLastError();
  if (!deleted || PathExists(source)) {
    DeleteFileA(destination.c_str());
    return Failed(error);
  }
  return MoveResult();
}

}  // namespace

// On one volume a rename; without MOVEFILE_REPLACE_EXISTING an existing
// file is kept.
MoveResult MoveFileNoReplace(const std::string& source, const std::string& destination) {
  if (MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH)) return MoveResult();
  const DWORD error = GetLastError();
  if (error != ERROR_NOT_SAME_DEVICE) return Failed(error);
  return CopyAcross(source, destination);
}

std::string SystemErrorText(int code) {
  char text[256] = "";
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
  std::string reason(text, length);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.')) reason.pop_back();
  if (reason.empty()) reason = "system error " + std::to_string(code);
  return reason;
}

bool AppendDurably(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE &&
            written == text.size() && FlushFileBuffers(file) != FALSE;
  if (!CloseHandle(file)) ok = false;
  return ok;
}

int RemoveAbandonedPartialCopies(const std::string& folder) {
  const std::string base = folder.empty() || folder.back() == '\\' || folder.back() == '/' ? folder : folder + "\\";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((base + ".tarnwick-partial-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int removed = 0;
  do {
    const unsigned long pid = std::strtoul(found.cFileName + 18, nullptr, 10);
    // A copy whose process still runs may be under way.
    HANDLE process = pid != 0 ? OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid)) : nullptr;
    if (process != nullptr) {
      const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
      CloseHandle(process);
      if (running) continue;
    }
    if (DeleteFileA((base + found.cFileName).c_str())) ++removed;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return removed;
}
