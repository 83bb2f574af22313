// The reference check of one file: which candidates the file refers to, by
// its import table (import mode) or by the bytes of its content.
#ifndef TARNWICK_USAGE_REFERENCE_CHECK_H
#define TARNWICK_USAGE_REFERENCE_CHECK_H

#include <cstdint>

struct FileFindings;
struct ProcessState;

// What the import pass does with a file it checks, from the file's
// findings (usage/file_examination.h): shows it, counts its import table,
// notes a settings file and the candidates it binds later for the evidence
// pass, and marks the candidates its import table binds. Returns 1 when the
// file was analysed (kinds 1 to 4), else 0.
int CommitImportCheck(ProcessState& state, const char* path, const FileFindings& findings);

// What the content pass does with a file it checks: shows it, counts it
// when its kind is searched (1 to 4) and marks the candidates its content
// names. Returns 1 when the file was analysed (any kind), else 0.
int CommitContentCheck(ProcessState& state, const char* path, const FileFindings& findings);

// Reads the file at path and checks it in the state's current mode
// (ImportsOnlyMode), as the passes do.
int CheckFile(ProcessState& state, const char* path);

// The straightforward content scan: for each remaining candidate, in list
// order, ReferenceScanFinds (usage/content_match.h), marking what it finds;
// a candidate of the file's own name is passed over.
void ScanContentReference(ProcessState& state, const std::uint8_t* region, std::uint32_t length,
                          const char* path, int referenceKind);

#endif
