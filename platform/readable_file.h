// Opening a regular file for reading at offsets: the part of FileView that
// differs between the platforms.
//
//  - OpenReadable() opens only a regular file (a FIFO would block, a device
//    may react), with MappedFile's sharing, and tells its size; false when
//    it cannot.
//  - ReadAt() reads up to length bytes at offset and returns how many it
//    read: fewer at the end of the file or when reading fails. A file is
//    read by one thread at a time (the Windows side moves the handle's
//    position).
#ifndef TARNWICK_PLATFORM_READABLE_FILE_H
#define TARNWICK_PLATFORM_READABLE_FILE_H

#include <cstdint>

bool OpenReadable(const char* path, std::intptr_t* file, std::uint64_t* size);
std::uint64_t ReadAt(std::intptr_t file, std::uint64_t offset, void* out, std::uint64_t length);
void CloseReadable(std::intptr_t file);

#endif
