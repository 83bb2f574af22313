// When a candidate counts as named by the content of a file: the rules both
// content scans follow, the straightforward one (ReferenceScanFinds) and
// the one-pass tables (usage/content_scanner.h), which must find exactly
// the same names.
//
// A name is compared ignoring the case of A to Z, wherever it stands in the
// region, as long as its bytes and the terminator it needs lie inside it:
//  - in 16-bit programs the base name counts alone, without terminator;
//  - elsewhere, in 8 bits: the base name followed by a zero byte, or by the
//    rest of the file name (its extension) and a zero byte;
//  - elsewhere, in UTF-16 (each character, then a zero high byte): the base
//    name followed by one more zero byte, or the whole name followed by a
//    zero unit (two zero bytes).
#ifndef TARNWICK_USAGE_CONTENT_MATCH_H
#define TARNWICK_USAGE_CONTENT_MATCH_H

#include <cstdint>

struct CandidateLibrary;

// Whether the byte at offset at lies inside the region and is zero.
inline bool ZeroAt(const std::uint8_t* region, std::uint64_t length, std::uint64_t at) {
  return at < length && region[at] == 0;
}

// The terminators of a UTF-16 name whose last character's high byte (a
// zero) is at highByte: one more zero byte ends the base name, a zero unit
// the whole name.
inline bool WideBaseNameEnds(const std::uint8_t* region, std::uint64_t length, std::uint64_t highByte) {
  return ZeroAt(region, length, highByte + 1);
}
inline bool WideWholeNameEnds(const std::uint8_t* region, std::uint64_t length, std::uint64_t highByte) {
  return ZeroAt(region, length, highByte + 1) && ZeroAt(region, length, highByte + 2);
}

// Whether the name of the candidate, in one of the forms above, begins at
// offset hit of the region.
bool NameStandsAt(const std::uint8_t* region, std::uint32_t length, std::uint32_t hit,
                  const CandidateLibrary& candidate, int referenceKind);

// The straightforward search for one candidate: from one occurrence of its
// first character (as stored, then in upper case) to the next, up to the
// last byte of the region, judging the name at each. Its cost grows with
// bytes times candidates; it is the definition the tables are tested
// against.
bool ReferenceScanFinds(const std::uint8_t* region, std::uint32_t length, const CandidateLibrary& candidate,
                        int referenceKind);

// Whether the one-pass tables can search for this candidate under exactly
// these rules. They hold ASCII names folded to lower case, match bytes
// ignoring the case of A to Z only, and take the UTF-16 form to be the
// 8-bit name with a zero high byte after every character; the straightforward
// search looks for the stored first character and its upper case, so the
// name must be stored in lower case, and its base name must not be empty.
// Any other candidate is searched the straightforward way.
bool TablesCanExpress(const CandidateLibrary& candidate);

#endif
