// The candidate libraries: the files of the library directories whose
// extension is one of the configured library extensions.
#ifndef TARNWICK_USAGE_CANDIDATES_H
#define TARNWICK_USAGE_CANDIDATES_H

#include "base/pointer_list.h"

struct ProcessState;

struct CandidateLibrary {
  char* name;                // file name, ASCII letters lower-cased
  unsigned char* wideName;   // name in UTF-16LE with a terminating 0, wideSize bytes
  int nameLength;
  int baseLength;            // characters before the last dot, or nameLength
  int wideSize;              // 2 * nameLength + 2
  int wideBaseSize;          // 2 * baseLength
  int found;                 // 1 once a file refers to the library
  int libraryKind;           // 32 or 16
  int referenceKind;         // how the first referring file refers to it
  char* referencedBy;        // full path of that file, or none
  // Where the file was collected from (with its trailing separator) and its
  // name as the listing gave it: the backup moves this very file.
  char* directory;
  char* fileName;
};

// The candidate record at index of a candidate list (a list whose records
// AddCandidate made).
inline CandidateLibrary* CandidateAt(PointerList& list, int index) {
  return static_cast<CandidateLibrary*>(list.GetAt(index));
}
inline const CandidateLibrary* CandidateAt(const PointerList& list, int index) {
  return static_cast<const CandidateLibrary*>(list.GetAt(index));
}

// Release callback of candidate lists: frees the record and its strings.
void ReleaseCandidate(void* record);

// Builds a record for fileName (found in directory) stamped with the state's
// CurrentLibraryKind and adds it to target; returns the index, or -1 when it
// could not be stored.
int AddCandidate(ProcessState& state, PointerList& target, const char* fileName, const char* directory);

// Adds every qualifying file of the directory in path (a 260-character
// buffer), depth first into subdirectories when recurse is set. On return
// path ends with the path separator. Entries whose path would not fit are
// skipped; linked directories are never entered.
void CollectCandidates(ProcessState& state, char* path, int recurse, PointerList& target);

// The number of files CollectCandidates would collect from the directory
// itself (no subdirectories), the backup record never among them; the
// candidate list is left alone.
int CountLibraryFiles(ProcessState& state, char* path);

#endif
