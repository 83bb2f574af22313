// Directory listing.
//
// Both implementations list every entry the file system holds, "." and ".."
// included where the system shows them, in a stable order: Windows in the
// order FindFirstFileA/FindNextFileA give, POSIX sorted by the byte order
// of the names, so that walks are repeatable.
#ifndef TARNWICK_PLATFORM_DIRECTORY_H
#define TARNWICK_PLATFORM_DIRECTORY_H

#include <string>
#include <vector>

struct DirectoryEntry {
  std::string name;
  // The entry leads to a directory (following a link).
  bool isDirectory = false;
  // The entry is a link: a reparse point on Windows, a symbolic link on
  // POSIX. A walk never enters a linked directory, so it cannot loop.
  bool isLink = false;
  // The entry leads to a regular file. On POSIX a FIFO, socket or device is
  // neither a directory nor a regular file; on Windows every entry that is
  // not a directory is a regular file.
  bool isRegularFile = false;
};

// Lists the directory (a path without a pattern, with or without a trailing
// separator). False when it cannot be listed; entries is then empty.
bool ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries);

#endif
