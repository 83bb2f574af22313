#include "usage/content_match.h"

#include <cstddef>
#include <cstring>

#include "platform/ascii.h"
#include "usage/candidates.h"
#include "usage/usage_records.h"

namespace {

bool EqualBytesIgnoringAsciiCase(const std::uint8_t* a, const unsigned char* b, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (LowerAsciiByte(a[i]) != LowerAsciiByte(b[i])) return false;
  }
  return true;
}

}  // namespace

bool NameStandsAt(const std::uint8_t* region, std::uint32_t length, std::uint32_t hit,
                  const CandidateLibrary& candidate, int referenceKind) {
  const std::uint64_t end = length;
  const auto base = static_cast<std::uint64_t>(candidate.baseLength);
  const auto* name = reinterpret_cast<const unsigned char*>(candidate.name);

  // 8-bit form: the base name, then its terminator or its own extension.
  if (hit + base <= end && EqualBytesIgnoringAsciiCase(region + hit, name, base)) {
    if (referenceKind == REF_EXE_16BIT) return true;
    const std::uint64_t after = hit + base;
    if (ZeroAt(region, end, after)) return true;
    if (after >= end || region[after] != '.') return false;
    const auto extension = static_cast<std::uint64_t>(candidate.nameLength) - base;
    return after + extension <= end && EqualBytesIgnoringAsciiCase(region + after, name + base, extension) &&
           ZeroAt(region, end, after + extension);
  }
  if (referenceKind == REF_EXE_16BIT) return false;

  // UTF-16 form: the base name's units, then one more zero byte, or the
  // rest of the name with its zero unit.
  const auto wideBase = static_cast<std::uint64_t>(candidate.wideBaseSize);
  if (hit + wideBase > end || !EqualBytesIgnoringAsciiCase(region + hit, candidate.wideName, wideBase)) {
    return false;
  }
  const std::uint64_t e = hit + wideBase;
  if (e >= 1 && region[e - 1] == 0 && WideBaseNameEnds(region, end, e - 1)) return true;
  // The rest of the wide name up to and including its zero unit.
  std::uint64_t rest = 0;
  const auto wideSize = static_cast<std::uint64_t>(candidate.wideSize);
  for (std::uint64_t unit = wideBase; unit + 1 < wideSize; unit += 2) {
    rest += 2;
    if (candidate.wideName[unit] == 0 && candidate.wideName[unit + 1] == 0) break;
  }
  return e + rest <= end && EqualBytesIgnoringAsciiCase(region + e, candidate.wideName + wideBase, rest);
}

bool ReferenceScanFinds(const std::uint8_t* region, std::uint32_t length, const CandidateLibrary& candidate,
                        int referenceKind) {
  const char stored = candidate.name[0];
  const char passes[2] = {stored, UpperAscii(stored)};
  for (int pass = 0; pass < (passes[1] != passes[0] ? 2 : 1); ++pass) {
    for (std::uint64_t start = 0; start < length;) {
      const void* at = std::memchr(region + start, static_cast<unsigned char>(passes[pass]), length - start);
      if (at == nullptr) break;
      const auto hit = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(at) - region);
      if (NameStandsAt(region, length, hit, candidate, referenceKind)) return true;
      start = hit + 1ull;
    }
  }
  return false;
}

bool TablesCanExpress(const CandidateLibrary& candidate) {
  const int length = candidate.nameLength;
  const int base = candidate.baseLength;
  if (candidate.name == nullptr || candidate.wideName == nullptr) return false;
  if (length < 1 || base < 1 || base > length) return false;
  if (base < length && candidate.name[base] != '.') return false;
  if (candidate.wideSize != 2 * length + 2 || candidate.wideBaseSize != 2 * base) return false;
  for (int i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(candidate.name[i]);
    if (byte == 0 || byte > 0x7F || (byte >= 'A' && byte <= 'Z')) return false;
    if (candidate.wideName[2 * i] != byte || candidate.wideName[2 * i + 1] != 0) return false;
  }
  return candidate.name[length] == 0 && candidate.wideName[2 * length] == 0 && candidate.wideName[2 * length + 1] == 0;
}
