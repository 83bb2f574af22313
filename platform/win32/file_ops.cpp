#include "platform/file_ops.h"

#include <windows.h>

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeDirectory(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

// Without MOVEFILE_COPY_ALLOWED a move to another volume fails instead of
// copying, and without MOVEFILE_REPLACE_EXISTING an existing file is kept.
bool MoveFileNoReplace(const std::string& source, const std::string& destination) {
  return MoveFileExA(source.c_str(), destination.c_str(), 0) != FALSE;
}
