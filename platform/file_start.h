// The first bytes of a file, read in one go.
#ifndef TARNWICK_PLATFORM_FILE_START_H
#define TARNWICK_PLATFORM_FILE_START_H

#include <cstddef>
#include <string>

// Up to `limit` bytes from the start of the file into *bytes: fewer when it
// is shorter, none when it cannot be read. False when it cannot be opened.
bool ReadFileStart(const std::string& path, std::size_t limit, std::string* bytes);

#endif
