// Bounded little-endian reads of a file's bytes. Offsets are 64-bit so that
// header arithmetic cannot wrap past a check; a read is good only when every
// byte lies before the end of the file and none was lost (see
// FileView::Faulted). Every read tells the view what it reads (Touch): a
// read past the bytes it holds so far has it read the rest of the file
// first, and a read of bytes the file has lost meanwhile is a fault.
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
    if (length > 0) file_.Touch(offset + length);
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
    if (offset >= file_.available()) file_.ReadRest();
    const std::uint8_t* start = file_.data() + offset;
    const void* zero = std::memchr(start, 0, file_.available() - offset);
    if (zero == nullptr && file_.available() < size_) {
      const std::uint64_t searched = file_.available();
      file_.ReadRest();
      zero = std::memchr(file_.data() + searched, 0, size_ - searched);
    }
    // What the search read: up to the terminator, or to the end of the file.
    const auto* stop = static_cast<const std::uint8_t*>(zero);
    file_.Touch(stop != nullptr ? static_cast<std::uint64_t>(stop - file_.data()) + 1 : size_);
    if (stop == nullptr || file_.Faulted()) return false;
    *length = static_cast<std::uint64_t>(stop - start);
    return true;
  }

  bool Faulted() const { return file_.Faulted(); }

 private:
  FileView& file_;
  std::uint32_t size_;
};

#endif
