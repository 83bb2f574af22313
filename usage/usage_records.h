// What uses each candidate: the marks of the search and the list lines that
// show them, line j always showing candidate j.
#ifndef TARNWICK_USAGE_USAGE_RECORDS_H
#define TARNWICK_USAGE_USAGE_RECORDS_H

struct ProcessState;

enum ReferenceKind {
  REF_EXE_16BIT = 0x110,
  REF_EXE_32BIT = 0x120,
  REF_NT_REGISTRY = 0x201,
  REF_W95_REGISTRY = 0x202,
  // A settings file (*.ini, *.inf, *.manifest, an exported *.reg) names the library.
  REF_SETTINGS_FILE = 0x301,
};

// The kind of reference a file of this FileKind makes; 0 for kinds that
// refer to nothing.
int ReferenceKindOf(int fileKind);
const char* ReferenceKindText(int referenceKind);

// Marks candidate j as used by the file at path (unless the file bears the
// candidate's own name), counts it, replaces its line and logs it.
void RecordReference(ProcessState& state, int j, const char* path, int referenceKind);

// Marks candidate j as used by the evidence at where (a registry key's
// path), which is no file: a key named like the library counts too.
void RecordEvidence(ProcessState& state, int j, const char* where, int referenceKind);

// One "?" line per candidate, in list order.
void ListCandidates(ProcessState& state);

// Raises the list's horizontal extent to the line's width when the line is
// longer, in characters, than every line measured before.
void WidenListExtent(ProcessState& state, const char* line);

// The text after the path's last separator, or the whole path.
const char* FileNamePart(const char* path);

#endif
