// The reference check of one file: which candidates the file refers to, by
// its import table (import mode) or by the bytes of its content.
#ifndef TARNWICK_USAGE_REFERENCE_CHECK_H
#define TARNWICK_USAGE_REFERENCE_CHECK_H

#include <cstdint>

struct CandidateLibrary;
struct ProcessState;

// Checks the file at path in the state's current mode (ImportsOnlyMode) and
// marks what it refers to. Returns 1 when the file was analysed (content
// mode: any kind; import mode: kinds 1 to 4), else 0.
int CheckFile(ProcessState& state, const char* path);

// What ScanContent needs besides the region: the state and the file's path.
struct ScanContext {
  ProcessState* state;
  const char* path;
};

// The content callback of content mode: counts the file (kinds 1 to 4) and
// searches its region for every candidate not yet found, in one pass over
// its bytes (ScanContentInOnePass).
int ScanContent(const std::uint8_t* regionStart, std::uint32_t regionLength, void* context, int kind);

// The straightforward content scan: for each remaining candidate, jump from
// one occurrence of its first character (as stored, then in upper case) to
// the next, up to the last byte of the region, and judge the name at every
// one of them. A name counts wherever it stands, also in the last bytes of
// the region or in a region no longer than the name, when its bytes, with
// the terminator it needs, lie inside the region. It reads nothing before
// the region or at or past its end; a hit whose judgement needs such a byte
// is no match. Its cost grows with bytes times candidates; it stays as the
// definition that the one-pass scan is tested against.
void ScanContentReference(ProcessState& state, const std::uint8_t* region, std::uint32_t length,
                          const char* path, int referenceKind);

// The straightforward search for one candidate, as ScanContentReference
// makes it (without its found and own-name tests): true when a hit matches.
bool ReferenceScanFinds(const std::uint8_t* region, std::uint32_t length, const CandidateLibrary& candidate,
                        int referenceKind);

#endif
