// How the content-scan fuzz target reads its input: a few candidates and a
// few content regions, with a compact code for "this candidate's name, in
// this form, here", so that random inputs are full of names, near misses
// and names cut short. Every byte string reads as some input.
//
//   byte 0            candidates - 1 (low 3 bits), regions - 1 (next 2 bits)
//   per candidate     length byte n, then 1 + n % 24 name bytes, each taken
//                     from a small alphabet by its value
//   per region        a byte with the kind (low 2 bits) and the path (next
//                     2 bits), two length bytes (little-endian), then the
//                     content: bytes as they are, except that 0xFF 0xFF is
//                     one 0xFF and 0xFF x puts candidate x % 8 there in
//                     form x / 8 (ScanFuzzForm)
#ifndef TARNWICK_FUZZ_SCAN_FUZZ_INPUT_H
#define TARNWICK_FUZZ_SCAN_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/scan_comparison.h"

namespace scancompare {

enum ScanFuzzForm {
  kNameTerminated,
  kBaseTerminated,
  kNameAlone,
  kUpperNameTerminated,
  kWideNameTerminated,
  kWideBaseTerminated,
  kWideNameOneZero,
  kWideUpperBaseOneZero,
  kMixedCaseName,
  kFirstCharacterThrice,
  kBaseAndShortExtension,
  kWideNameAlone,
  kScanFuzzForms
};

ScanInput DecodeScanFuzzInput(const std::uint8_t* data, std::size_t size);

// Writes inputs in the same code, for the seed corpus.
class ScanFuzzInputWriter {
 public:
  ScanFuzzInputWriter(std::vector<std::string> candidates, int regions);
  // Alphabet bytes only; others are replaced on reading.
  ScanFuzzInputWriter& Region(int kindIndex, int pathIndex);
  ScanFuzzInputWriter& Bytes(const std::string& bytes);
  ScanFuzzInputWriter& Name(int candidate, ScanFuzzForm form);
  std::vector<std::uint8_t> Finish();

 private:
  void CloseRegion();
  std::vector<std::uint8_t> out_;
  std::size_t regionLengthAt_ = 0;
  bool inRegion_ = false;
};

}  // namespace scancompare

#endif
