// Walks over folders in a 260-character path buffer, as the collection and
// the drive search do: the folder's path ends with the separator, an entry's
// name is appended in place, and nothing that would not fit is ever written.
#ifndef TARNWICK_USAGE_PATH_BUFFER_H
#define TARNWICK_USAGE_PATH_BUFFER_H

#include <cstddef>
#include <string>
#include <vector>

#include "platform/directory.h"

constexpr std::size_t kPathCapacity = 260;

// Gives the folder in path its trailing separator and lists it. On failure
// nothing is listed and the result says why: the listing's own reason,
// NoSuchFolderCode() for an empty path, PathTooLongCode() when the path and
// the pattern a listing appends ("*.*") would not fit. *length is the
// folder path's length.
ListingResult ListFolder(char* path, std::size_t* length, std::vector<DirectoryEntry>* entries);

// Whether the entry's path fits after the folder path of the given length;
// a folder needs room for its separator and the pattern too.
bool EntryPathFits(std::size_t length, const std::string& name, bool isFolder);

// Appends name to the folder path when it fits; false, with the path
// unchanged, when it would not.
bool AppendEntryName(char* path, std::size_t length, const std::string& name, bool isFolder);

#endif
