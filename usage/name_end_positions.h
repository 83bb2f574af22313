// Where a terminated name can end in the content of a 32-bit program or a
// registry file. Every name the content scan counts there is followed by a
// zero byte: a string of 8-bit characters and its terminator, or UTF-16
// units (each character, then a zero high byte) and a zero after them. So a
// name ends just before a position z that holds 0 while z - 1 holds one of
// the name's bytes. Most content bytes fail that test; where the compiler
// offers SSE2 (always on x86-64) 64 of them are tested at a time.
#ifndef TARNWICK_USAGE_NAME_END_POSITIONS_H
#define TARNWICK_USAGE_NAME_END_POSITIONS_H

#include <cstdint>

// GCC and Clang define __SSE2__ wherever the instructions may be used.
#if defined(__SSE2__)
#define TARNWICK_NAME_ENDS_SSE2 1
#include <emmintrin.h>
#include <immintrin.h>
#endif

// What the names look like: every byte they hold, in either case, lies in
// [lowest, highest] (lowest at least 1), and a name may be a single byte.
struct NameEndFilter {
  unsigned char lowest;
  unsigned char highest;
  bool oneByteNames;
};

#ifdef TARNWICK_NAME_ENDS_SSE2
// Bit i of the results stands for bytes[i], for 64 bytes.
struct ByteMasks {
  std::uint64_t zero;
  std::uint64_t inRange;
};

inline ByteMasks MasksOf64(const std::uint8_t* bytes, __m128i lowest, __m128i span) {
  ByteMasks masks{0, 0};
  for (int part = 0; part < 4; ++part) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    const __m128i shifted = _mm_sub_epi8(v, lowest);
    const auto zero = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
    const auto inRange =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(shifted, span), shifted)));
    masks.zero |= static_cast<std::uint64_t>(zero) << (16 * part);
    masks.inRange |= static_cast<std::uint64_t>(inRange) << (16 * part);
  }
  return masks;
}
#endif

#ifdef TARNWICK_NAME_ENDS_SSE2
// The same for processors with AVX2, which test 64 bytes in two steps.
#define TARNWICK_NAME_ENDS_AVX2 1
__attribute__((target("avx2"))) inline ByteMasks MasksOf64Avx2(const std::uint8_t* bytes, __m256i lowest,
                                                                __m256i span) {
  ByteMasks masks{0, 0};
  for (int part = 0; part < 2; ++part) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * part));
    const __m256i shifted = _mm256_sub_epi8(v, lowest);
    const auto zero = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_setzero_si256())));
    const auto inRange = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_min_epu8(shifted, span), shifted)));
    masks.zero |= static_cast<std::uint64_t>(zero) << (32 * part);
    masks.inRange |= static_cast<std::uint64_t>(inRange) << (32 * part);
  }
  return masks;
}

// The candidate name ends of a block of 64 bytes at start, from its masks
// and those of the block before; bytes[start + 64] must lie in the region.
template <class Visit>
inline bool VisitNameEndsOf64(const std::uint8_t* bytes, std::uint64_t start, const ByteMasks& here,
                              const ByteMasks& previous, std::uint64_t anyBefore, Visit& visit) {
  const std::uint64_t inRange1 = (here.inRange << 1) | (previous.inRange >> 63);
  const std::uint64_t inRange2 = (here.inRange << 2) | (previous.inRange >> 62);
  const std::uint64_t inRange3 = (here.inRange << 3) | (previous.inRange >> 61);
  const std::uint64_t zero2 = (here.zero << 2) | (previous.zero >> 62);
  const std::uint64_t zeroAfter = (here.zero >> 1) | (std::uint64_t{bytes[start + 64] == 0} << 63);
  const std::uint64_t eightBit = inRange2 | anyBefore;
  const std::uint64_t wide = zero2 & zeroAfter & (inRange3 | anyBefore);
  for (std::uint64_t ends = here.zero & inRange1 & (eightBit | wide); ends != 0; ends &= ends - 1) {
    if (!visit(start + static_cast<unsigned>(__builtin_ctzll(ends)))) return false;
  }
  return true;
}

// Walks the blocks with AVX2; returns where the bytes left over begin, or
// length when visit asked to stop.
template <class Visit>
__attribute__((target("avx2"))) std::uint64_t NameEndBlocksAvx2(const std::uint8_t* bytes, std::uint64_t length,
                                                                 const NameEndFilter& filter, Visit& visit) {
  const __m256i lowest = _mm256_set1_epi8(static_cast<char>(filter.lowest));
  const __m256i span = _mm256_set1_epi8(static_cast<char>(filter.highest - filter.lowest));
  const std::uint64_t anyBefore = filter.oneByteNames ? ~std::uint64_t{0} : 0;
  ByteMasks previous{0, 0};
  std::uint64_t start = 0;
  for (; start + 64 < length; start += 64) {
    const ByteMasks here = MasksOf64Avx2(bytes + start, lowest, span);
    if (!VisitNameEndsOf64(bytes, start, here, previous, anyBefore, visit)) return length;
    previous = here;
  }
  return start;
}

template <class Visit>
std::uint64_t NameEndBlocksSse2(const std::uint8_t* bytes, std::uint64_t length, const NameEndFilter& filter,
                                Visit& visit) {
  const __m128i lowest = _mm_set1_epi8(static_cast<char>(filter.lowest));
  const __m128i span = _mm_set1_epi8(static_cast<char>(filter.highest - filter.lowest));
  const std::uint64_t anyBefore = filter.oneByteNames ? ~std::uint64_t{0} : 0;
  // The masks of the 64 bytes before the block; none before the start.
  ByteMasks previous{0, 0};
  std::uint64_t start = 0;
  // Each block needs the byte after it too.
  for (; start + 64 < length; start += 64) {
    const ByteMasks here = MasksOf64(bytes + start, lowest, span);
    if (!VisitNameEndsOf64(bytes, start, here, previous, anyBefore, visit)) return length;
    previous = here;
  }
  return start;
}

inline bool ProcessorHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") != 0;
  return has;
}
#endif

// Calls visit(z) for every z in [1, length) with bytes[z] == 0 and
// bytes[z - 1] != 0 where a name could end at z - 1 under the filter: an
// 8-bit name (bytes[z - 1] and, unless names may be a single byte,
// bytes[z - 2] within the range) or a UTF-16 one (bytes[z - 1] and
// bytes[z - 3] within the range, bytes[z - 2] and bytes[z + 1] zero). It may
// call visit for further such z: the walk that follows judges exactly.
// Stops when visit returns false. Reads nothing outside [0, length).
template <class Visit>
void ForEachPossibleNameEnd(const std::uint8_t* bytes, std::uint64_t length, const NameEndFilter& filter,
                            Visit&& visit) {
  std::uint64_t z = 1;
#ifdef TARNWICK_NAME_ENDS_SSE2
  const std::uint64_t start = ProcessorHasAvx2() ? NameEndBlocksAvx2(bytes, length, filter, visit)
                                                 : NameEndBlocksSse2(bytes, length, filter, visit);
  if (start >= length) return;
  z = start > 1 ? start : 1;
#endif
  for (; z < length; ++z) {
    if (bytes[z] == 0 && bytes[z - 1] != 0 && !visit(z)) return;
  }
}

#endif
