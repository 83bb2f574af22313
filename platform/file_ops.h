// File operations of the backup.
//
// MoveFileNoReplace moves one file and never replaces or copies anything:
// it fails when the destination exists (on POSIX also when a file of the
// destination folder differs from its name only in ASCII case, as Windows
// would see one file there), and when source and destination lie on
// different file systems, in which case the file stays where it was.
// Windows: MoveFileExA without flags. POSIX: an atomic rename that refuses
// to replace (renameat2 with RENAME_NOREPLACE, else link and unlink).
#ifndef TARNWICK_PLATFORM_FILE_OPS_H
#define TARNWICK_PLATFORM_FILE_OPS_H

#include <string>

// True when something (a file, a folder, a link) stands at path.
bool PathExists(const std::string& path);
// Makes one folder level; false when it could not be made.
bool MakeDirectory(const std::string& path);
bool MoveFileNoReplace(const std::string& source, const std::string& destination);

#endif
