#include "platform/file_view.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "platform/readable_file.h"

std::uint8_t* ReadBuffer::For(std::uint64_t bytes) {
  if (bytes == 0 || bytes > largestFile_) return nullptr;
  if (bytes_ == nullptr && !unavailable_) {
    // Uninitialised, so that pages no file fills are never touched.
    bytes_.reset(new (std::nothrow) std::uint8_t[largestFile_]);
    unavailable_ = bytes_ == nullptr;
  }
  return bytes_.get();
}

FileView::~FileView() { Close(); }

int FileView::Open(const char* path, ReadBuffer* buffer) {
  Close();
  std::uint64_t length = 0;
  if (buffer != nullptr && OpenReadable(path, &file_, &length)) {
    std::uint8_t* bytes = buffer->For(length);
    if (bytes != nullptr) {
      data_ = bytes;
      size_ = static_cast<std::uint32_t>(length);
      ReadInto(0, std::min(size_, buffer->headBytes_));
      return 0;
    }
    // Empty (no view, as MappedFile says), too large, or no memory for it.
    CloseReadable(file_);
    file_ = -1;
  }
  auto mapped = std::make_unique<MappedFile>();
  const int opened = mapped->Open(path);
  if (opened != 0) return opened;
  mapped_ = std::move(mapped);
  data_ = mapped_->data();
  size_ = mapped_->size();
  available_ = size_;
  intact_ = size_;
  return 0;
}

void FileView::ReadRest() {
  if (available_ < size_) ReadInto(available_, size_);
}

void FileView::Touch(std::uint64_t end) {
  if (end > available_) ReadRest();
  if (end > intact_) faulted_ = true;
}

void FileView::ReadInto(std::uint32_t from, std::uint32_t to) {
  auto* bytes = const_cast<std::uint8_t*>(data_);
  const std::uint64_t read = ReadAt(file_, from, bytes + from, to - from);
  if (read < to - from) {
    std::memset(bytes + from + read, 0, to - from - read);
    if (!lost_) {
      const std::uint64_t pageEnd = (from + read + kPageBytes - 1) / kPageBytes * kPageBytes;
      intact_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(pageEnd, size_));
      lost_ = true;
    }
  } else if (!lost_) {
    intact_ = to;
  }
  available_ = to;
}

void FileView::Close() {
  if (file_ != -1) CloseReadable(file_);
  mapped_.reset();
  file_ = -1;
  data_ = nullptr;
  size_ = 0;
  available_ = 0;
  intact_ = 0;
  lost_ = false;
  faulted_ = false;
}
