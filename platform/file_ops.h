// File operations of the backup and the restore.
//
// Behaviour both implementations share:
//  - MoveFileNoReplace moves one file and never replaces anything: when a
//    file stands at the destination already the move fails with
//    kMoveNameTaken (on POSIX also when a file of the destination folder
//    differs from its name only in ASCII case, as Windows would see one file
//    there). Source and destination may lie on different volumes or file
//    systems; then the file is copied with its permissions, times and (where
//    the process may give it) owner, the copy is on disk before the original
//    goes, and at every moment at least one complete copy exists. A move that
//    fails leaves the original where it was and no copy behind, also when the
//    original cannot be removed after the copy (access denied, in use).
//    Both: a rename that refuses to replace; to another volume or file
//    system a copy to a hidden temporary name in the destination folder,
//    flushed, renamed to its name without replacing (POSIX also flushes the
//    folder), and only then the original removed. Windows does in these
//    steps what MoveFileExA with MOVEFILE_COPY_ALLOWED and
//    MOVEFILE_WRITE_THROUGH does, since that call can leave a partial copy
//    when the disk fills, and a copy reported as moved when the original
//    cannot be deleted.
//  - The reason of a failure is one of MoveFailure; code keeps the system's
//    own number (errno or GetLastError) for the log.
//  - AppendDurably appends text to a file (made when missing) and returns
//    only once the text is on disk (fsync, FlushFileBuffers).
#ifndef TARNWICK_PLATFORM_FILE_OPS_H
#define TARNWICK_PLATFORM_FILE_OPS_H

#include <string>

enum MoveFailure {
  kMoveDone = 0,
  kMoveNameTaken,
  kMoveAccessDenied,
  kMoveInUse,
  kMoveNoSpace,
  kMoveNotFound,
  kMoveOther,
};

struct MoveResult {
  MoveFailure failure = kMoveDone;
  int code = 0;  // errno or GetLastError of the failing step; 0 when none
  bool ok() const { return failure == kMoveDone; }
};

// True when something (a file, a folder, a link) stands at path.
bool PathExists(const std::string& path);
// True when the name of path is taken in its folder the way a move would
// find it taken (on POSIX regardless of ASCII case).
bool NameTaken(const std::string& path);
// Makes one folder level; false when it could not be made.
bool MakeDirectory(const std::string& path);
MoveResult MoveFileNoReplace(const std::string& source, const std::string& destination);
// The reason for the user: "name taken", "access denied", "in use",
// "no space left", "not found", or the system's text for any other failure.
std::string MoveFailureText(const MoveResult& result);
// The system's own text for an errno or GetLastError number.
std::string SystemErrorText(int code);
bool AppendDurably(const std::string& path, const std::string& text);
// Removes the hidden partial copies (".tarnwick-partial-PID-N") that a
// process ended during a move to another file system left in folder; a
// copy of a process still running stays. Returns how many went.
int RemoveAbandonedPartialCopies(const std::string& folder);

#endif
