// One file's bytes for the analysis: read into a buffer of the caller's when
// the file fits it, mapped otherwise.
//
// A mapping brings a file in page fault by page fault, each fault reading
// ahead only a little way; from a cold cache that is about half as fast as
// reading the same file with large reads, which let the disk stream it. So
// a search thread reads the files that fit its buffer: first the head,
// which is all the analysis needs of a file that is no program, and the
// rest only when asked for it.
//
// Behaviour both implementations share:
//  - Open() returns what MappedFile::Open would for the file (0,
//    kMapCantOpen, kMapCantMap); without a buffer, or for a file larger
//    than the buffer takes, or one that cannot be opened for reading, the
//    file is mapped as MappedFile maps it.
//  - size() is the low 32 bits of the file size at the moment of opening.
//    available() is how many bytes from data() hold the file's bytes: all
//    of size() for a mapped file, the head for a read one until Touch()
//    reaches past it and the rest is read. data() never moves while the
//    file is open.
//  - A file that is shorter, when read, than it was when opened, or whose
//    reading fails, reads as zeros where its bytes are missing. Faulted()
//    becomes true once the caller touches (Touch) a byte past the page that
//    holds the last byte read, as reading a truncated mapping faults on the
//    pages the file no longer reaches and on those only: losing bytes the
//    analysis never reads costs nothing, as it never did.
//  - The file is opened with the same sharing as MappedFile and never
//    changed; the destructor closes it.
#ifndef TARNWICK_PLATFORM_FILE_VIEW_H
#define TARNWICK_PLATFORM_FILE_VIEW_H

#include <cstdint>
#include <memory>

#include "platform/mapped_file.h"

// One thread's memory for the files it reads, reused from file to file: as
// large as the largest file it reads, taken once, its pages touched only as
// far as the files read so far have filled it.
class ReadBuffer {
 public:
  // Files up to largestFile bytes are read, larger ones mapped; a file read
  // is read headBytes first: the headers of a program, and all the analysis
  // needs of a file that is no program. (Heads of 256 KB and 1 MB, read to
  // spare programs their second read, made cold searches slower.)
  explicit ReadBuffer(std::uint32_t largestFile = kDefaultLargestFile, std::uint32_t headBytes = kDefaultHeadBytes)
      : largestFile_(largestFile), headBytes_(headBytes > 0 ? headBytes : 1) {}

  static constexpr std::uint32_t kDefaultLargestFile = 8u << 20;
  static constexpr std::uint32_t kDefaultHeadBytes = 64u << 10;

 private:
  friend class FileView;
  // Memory for a file of the given size, nullptr when there is none for it.
  std::uint8_t* For(std::uint64_t bytes);

  std::uint32_t largestFile_;
  std::uint32_t headBytes_;
  std::unique_ptr<std::uint8_t[]> bytes_;
  bool unavailable_ = false;
};

class FileView {
 public:
  FileView() = default;
  ~FileView();
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;

  int Open(const char* path, ReadBuffer* buffer);

  const std::uint8_t* data() const { return data_; }
  std::uint32_t size() const { return size_; }
  std::uint32_t available() const { return available_; }
  // Reads what is not available yet; afterwards available() == size().
  void ReadRest();
  // The bytes before end (at most size()) are read: the rest of the file is
  // read if they are not all available, and Faulted() becomes true if some
  // of them are lost.
  void Touch(std::uint64_t end);
  bool Faulted() const { return faulted_ || (mapped_ != nullptr && mapped_->Faulted()); }

 private:
  // The granule a mapping shows a file in, so that a shortened file faults
  // where its mapping would have.
  static constexpr std::uint32_t kPageBytes = 4096;

  void Close();
  void ReadInto(std::uint32_t from, std::uint32_t to);

  std::unique_ptr<MappedFile> mapped_;  // set while a mapped file is open
  std::intptr_t file_ = -1;
  const std::uint8_t* data_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t available_ = 0;
  // Bytes from data() that a read may touch without a fault: available_,
  // or after a loss the end of the page that holds the last byte read.
  std::uint32_t intact_ = 0;
  bool lost_ = false;
  bool faulted_ = false;
};

#endif
