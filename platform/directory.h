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

// How a listing went: code is 0 when every entry was listed, else the errno
// or GetLastError number of the step that failed (SystemErrorText in
// platform/file_ops.h gives the system's text for it). The end of a listing
// is never taken for a failure, nor a failure for the end.
struct ListingResult {
  int code = 0;
  bool ok() const { return code == 0; }
};

// Lists the directory (a path without a pattern, with or without a trailing
// separator). When it cannot be opened, or reading it fails before the end,
// entries is empty and the result says why.
ListingResult ListDirectory(const std::string& directory, std::vector<DirectoryEntry>* entries);

// The codes of this platform for a folder path too long to be listed, and
// for a path that names no folder.
int PathTooLongCode();
int NoSuchFolderCode();

#endif
