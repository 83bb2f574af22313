// Win32 mapping of a whole file: CreateFileA, CreateFileMappingA,
// MapViewOfFile, with the share mode and flags the analysis has always used.
#include "platform/mapped_file.h"

#include <windows.h>

MappedFile::~MappedFile() { Close(); }

int MappedFile::Open(const char* path) {
  Close();
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kMapCantOpen;
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  void* view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
  if (view == nullptr) {
    if (mapping != nullptr) CloseHandle(mapping);
    CloseHandle(file);
    return kMapCantMap;
  }
  file_ = reinterpret_cast<std::intptr_t>(file);
  mapping_ = reinterpret_cast<std::intptr_t>(mapping);
  data_ = static_cast<const std::uint8_t*>(view);
  size_ = GetFileSize(file, nullptr);
  return 0;
}

// Windows does not let a mapped file be truncated, so a read of the view
// never loses its backing.
bool MappedFile::Faulted() const { return false; }

void MappedFile::Close() {
  if (data_ != nullptr) UnmapViewOfFile(data_);
  if (mapping_ != 0) CloseHandle(reinterpret_cast<HANDLE>(mapping_));
  if (file_ != -1) CloseHandle(reinterpret_cast<HANDLE>(file_));
  data_ = nullptr;
  size_ = 0;
  mapping_ = 0;
  file_ = -1;
}
