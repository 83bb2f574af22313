#include "platform/file_ops.h"

#include <windows.h>

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

// MOVEFILE_COPY_ALLOWED lets the move go to another volume (a copy, then the
// original deleted); MOVEFILE_WRITE_THROUGH returns only once the copy is on
// disk, before the original goes. Without MOVEFILE_REPLACE_EXISTING an
// existing file is kept.
MoveResult MoveFileNoReplace(const std::string& source, const std::string& destination) {
  if (MoveFileExA(source.c_str(), destination.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
    return MoveResult();
  }
  return Failed(GetLastError());
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
