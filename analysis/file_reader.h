// Bounded little-endian reads of a file's bytes. Offsets are 64-bit so that
// header arithmetic cannot wrap past a check; a read is good only when every
// byte lies before the end of the file and none was lost (see
// FileView::Faulted). A read past the bytes the view holds so far has the
// view read the rest of the file first.
#ifndef TARNWICK_ANALYSIS_FILE_READER_H
#define TARNWICK_ANALYSIS_FILE_READER_H

#include <cstdint>
#include <cstring>

#include "platform/file_view.h"

class FileReader {
 public:
  explicit FileReader(FileView& file) : file_(file), size_(file.size()) {}

  std::uint32_t size() const { return size_; }

  bool Contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }

  // The bytes [offset, offset + length), for a stretch Contains() admits.
  const std::uint8_t* At(std::uint64_t offset, std::uint64_t length) const {
    if (offset + length > file_.available()) file_.Complete();
    return file_.data() + offset;
  }

  bool Bytes(std::uint64_t offset, void* out, std::uint64_t length) const {
    if (!Contains(offset, length)) return false;
    std::memcpy(out, At(offset, length), length);
    return !file_.Faulted();
  }

  bool U8(std::uint64_t offset, std::uint8_t* out) const { return Bytes(offset, out, 1); }

  bool U16(std::uint64_t offset, std::uint16_t* out) const {
    std::uint8_t b[2];
    if (!Bytes(offset, b, 2)) return false;
    *out = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
  }

  bool U32(std::uint64_t offset, std::uint32_t* out) const {
    std::uint8_t b[4];
    if (!Bytes(offset, b, 4)) return false;
    *out = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
  }

  // Length of the NUL-terminated string at offset; false when its terminator
  // is not inside the file.
  bool StringLength(std::uint64_t offset, std::uint64_t* length) const {
    if (offset >= size_) return false;
    const std::uint64_t held = file_.available();
    const void* zero = offset < held ? std::memchr(file_.data() + offset, 0, held - offset) : nullptr;
    if (zero == nullptr && held < size_) zero = std::memchr(At(offset, size_ - offset), 0, size_ - offset);
    if (zero == nullptr || file_.Faulted()) return false;
    *length = static_cast<const std::uint8_t*>(zero) - (file_.data() + offset);
    return true;
  }

  bool Faulted() const { return file_.Faulted(); }

 private:
  FileView& file_;
  std::uint32_t size_;
};

#endif
