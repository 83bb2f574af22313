// Bounded little-endian reads of a mapped file. Offsets are 64-bit so that
// header arithmetic cannot wrap past a check; a read is good only when every
// byte lies before the end of the file and no page of the view has lost its
// backing (see MappedFile::Faulted).
#ifndef TARNWICK_ANALYSIS_FILE_READER_H
#define TARNWICK_ANALYSIS_FILE_READER_H

#include <cstdint>
#include <cstring>

#include "platform/mapped_file.h"

class FileReader {
 public:
  explicit FileReader(const MappedFile& file) : file_(file), data_(file.data()), size_(file.size()) {}

  std::uint32_t size() const { return size_; }
  const std::uint8_t* data() const { return data_; }

  bool Contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }

  bool Bytes(std::uint64_t offset, void* out, std::uint64_t length) const {
    if (!Contains(offset, length)) return false;
    std::memcpy(out, data_ + offset, length);
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
    const void* zero = std::memchr(data_ + offset, 0, size_ - offset);
    if (zero == nullptr || file_.Faulted()) return false;
    *length = static_cast<const std::uint8_t*>(zero) - (data_ + offset);
    return true;
  }

  bool Faulted() const { return file_.Faulted(); }

 private:
  const MappedFile& file_;
  const std::uint8_t* data_;
  std::uint32_t size_;
};

#endif
