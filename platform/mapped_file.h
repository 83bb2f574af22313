// Read-only mapping of one whole file.
//
// Behaviour both implementations share:
//  - Open() maps the complete file read-only and never changes it. It returns
//    0, kMapCantOpen when the file cannot be opened for reading (a missing
//    file, a directory, anything that is not a regular file), or
//    kMapCantMap when no view can be made (an empty file among them).
//  - size() is the low 32 bits of the file size at the moment of opening;
//    data() points to the first byte. Bytes at or past size() are not part
//    of the file, even where the page that holds the end is readable.
//  - Others may write the file while it is mapped, but not read it: the
//    Windows share mode is write-only, and the POSIX side mirrors the effect
//    that matters here (the view shows the bytes as they are now).
//  - When another process truncates the file while it is mapped, reading a
//    page that no longer has file data behind it must not end the process:
//    the read sees zeros and Faulted() becomes true from then on. Windows
//    refuses to truncate a mapped file, so there it never becomes true.
//  - The destructor releases the view and every handle. (The POSIX side
//    unmaps the views of small files in batches, some closed views at a
//    time; see posix/mapped_file.cpp.)
#ifndef TARNWICK_PLATFORM_MAPPED_FILE_H
#define TARNWICK_PLATFORM_MAPPED_FILE_H

#include <cstdint>

enum {
  kMapCantOpen = -4,
  kMapCantMap = -5,
};

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  int Open(const char* path);

  const std::uint8_t* data() const { return data_; }
  std::uint32_t size() const { return size_; }
  bool Faulted() const;

 private:
  void Close();

  const std::uint8_t* data_ = nullptr;
  std::uint32_t size_ = 0;
  // Platform handles and bookkeeping, opaque here.
  std::intptr_t file_ = -1;
  [[maybe_unused]] std::intptr_t mapping_ = 0;  // Windows only
  [[maybe_unused]] std::uint64_t mappedLength_ = 0;  // POSIX only
  [[maybe_unused]] bool inViewArea_ = false;  // POSIX only
  void* guard_ = nullptr;
};

#endif
