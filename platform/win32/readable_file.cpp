#include "platform/readable_file.h"

#include <windows.h>

#include <cstdint>

bool OpenReadable(const char* path, std::intptr_t* file, std::uint64_t* size) {
  // The sharing the mapping has always used: others may write, not read.
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER length;
  // A pipe or a device is no file to read to its end.
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &length) || length.QuadPart < 0) {
    CloseHandle(handle);
    return false;
  }
  *file = reinterpret_cast<std::intptr_t>(handle);
  *size = static_cast<std::uint64_t>(length.QuadPart);
  return true;
}

std::uint64_t ReadAt(std::intptr_t file, std::uint64_t offset, void* out, std::uint64_t length) {
  const auto handle = reinterpret_cast<HANDLE>(file);
  // The offset is set on the handle rather than passed in an OVERLAPPED:
  // Wine answers a read given one with a completion notice to its server,
  // a round trip for every read. A file is read by one thread at a time.
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (offset > static_cast<std::uint64_t>(INT64_MAX) || !SetFilePointerEx(handle, at, nullptr, FILE_BEGIN)) return 0;
  std::uint64_t done = 0;
  while (done < length) {
    const std::uint64_t left = length - done;
    const DWORD want = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(handle, static_cast<char*>(out) + done, want, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

void CloseReadable(std::intptr_t file) { CloseHandle(reinterpret_cast<HANDLE>(file)); }
