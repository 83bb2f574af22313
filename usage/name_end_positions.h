// Where a terminated name can end in the content of a 32-bit program or a
// registry file. Every name the content scan counts there is followed by a
// zero byte: a string of 8-bit characters and its terminator, or UTF-16
// units (each character, then a zero high byte) and a zero after them. So a
// name ends just before a position z that holds 0 while z - 1 holds a byte
// some name ends with, and the character before that (z - 2, or z - 3 in
// UTF-16) a byte that stands before the last in some name. Most content
// bytes fail that test; where the compiler offers SSE2 (always on x86-64)
// 64 of them are tested at a time, the sets of bytes looked up by nibbles
// where the processor has AVX2.
#ifndef TARNWICK_USAGE_NAME_END_POSITIONS_H
#define TARNWICK_USAGE_NAME_END_POSITIONS_H

#include <cstdint>

// GCC and Clang define __SSE2__ wherever the instructions may be used.
#if defined(__SSE2__)
#define TARNWICK_NAME_ENDS_SSE2 1
#include <emmintrin.h>
#include <immintrin.h>
#endif

// A set of bytes from 1 to 127, laid out for a lookup by nibbles: bit h of
// byLowNibble[l] stands for the byte 16 * h + l. No byte of 128 or more is
// ever in it.
struct NameByteSet {
  std::uint8_t byLowNibble[16] = {};

  void Add(unsigned char byte) {
    if (byte == 0 || byte >= 128) return;
    byLowNibble[byte & 15] = static_cast<std::uint8_t>(byLowNibble[byte & 15] | 1u << (byte >> 4));
  }
  bool Holds(std::uint8_t byte) const { return byte < 128 && ((byLowNibble[byte & 15] >> (byte >> 4)) & 1u) != 0; }
};

// What the names look like: the bytes they end with and the bytes before
// those (both in either case), whether a name may be a single byte, and a
// range [lowest, highest] that holds every byte of both sets.
struct NameEndFilter {
  NameByteSet lastBytes;
  NameByteSet beforeLastBytes;
  bool oneByteNames = false;
  unsigned char lowest = 1;
  unsigned char highest = 0;
};

// Whether a name may end just before z under the filter, byte by byte: the
// rule every form of the walk below keeps to.
inline bool NameMayEndBefore(const std::uint8_t* bytes, std::uint64_t length, const NameEndFilter& filter,
                             std::uint64_t z) {
  if (z < 1 || z >= length || bytes[z] != 0 || !filter.lastBytes.Holds(bytes[z - 1])) return false;
  if (filter.oneByteNames || (z >= 2 && filter.beforeLastBytes.Holds(bytes[z - 2]))) return true;
  return z >= 3 && z + 1 < length && bytes[z - 2] == 0 && bytes[z + 1] == 0 &&
         filter.beforeLastBytes.Holds(bytes[z - 3]);
}

#ifdef TARNWICK_NAME_ENDS_SSE2
// Bit i of the results stands for bytes[i], for 64 bytes.
struct ByteMasks {
  std::uint64_t zero;
  std::uint64_t last;
  std::uint64_t beforeLast;
};

// SSE2 has no byte lookup: both sets are approximated by the range, and
// the positions it lets through are checked byte by byte.
inline ByteMasks MasksOf64(const std::uint8_t* bytes, __m128i lowest, __m128i span) {
  ByteMasks masks{0, 0, 0};
  for (int part = 0; part < 4; ++part) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    const __m128i shifted = _mm_sub_epi8(v, lowest);
    const auto zero = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
    const auto inRange =
        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(shifted, span), shifted)));
    masks.zero |= static_cast<std::uint64_t>(zero) << (16 * part);
    masks.last |= static_cast<std::uint64_t>(inRange) << (16 * part);
  }
  masks.beforeLast = masks.last;
  return masks;
}

#define TARNWICK_NAME_ENDS_AVX2 1
// The nibble tables of both sets, each repeated in both 128-bit lanes.
struct NameByteTables {
  __m256i last;
  __m256i beforeLast;
  __m256i highBit;
};

__attribute__((target("avx2"))) inline __m256i BothLanes(const std::uint8_t* table) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table)));
}

// The exact masks, 32 bytes a step: a byte is in a set when the bit its
// high nibble picks is set in the entry its low nibble picks.
__attribute__((target("avx2"))) inline ByteMasks MasksOf64Avx2(const std::uint8_t* bytes,
                                                                const NameByteTables& tables) {
  ByteMasks masks{0, 0, 0};
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i none = _mm256_setzero_si256();
  for (int part = 0; part < 2; ++part) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * part));
    const __m256i low = _mm256_and_si256(v, nibble);
    const __m256i bit = _mm256_shuffle_epi8(tables.highBit, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble));
    const __m256i last = _mm256_and_si256(_mm256_shuffle_epi8(tables.last, low), bit);
    const __m256i beforeLast = _mm256_and_si256(_mm256_shuffle_epi8(tables.beforeLast, low), bit);
    const auto zero = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, none)));
    const auto notLast = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(last, none)));
    const auto notBefore = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(beforeLast, none)));
    masks.zero |= static_cast<std::uint64_t>(zero) << (32 * part);
    masks.last |= static_cast<std::uint64_t>(~notLast) << (32 * part);
    masks.beforeLast |= static_cast<std::uint64_t>(~notBefore) << (32 * part);
  }
  return masks;
}

// The name ends of a block of 64 bytes at start, from its masks and those
// of the block before; bytes[start + 64] must lie in the region. With
// checkEach, the masks may hold more than the sets and every end they let
// through is checked byte by byte.
template <bool checkEach, class Visit>
inline bool VisitNameEndsOf64(const std::uint8_t* bytes, std::uint64_t length, std::uint64_t start,
                              const ByteMasks& here, const ByteMasks& previous, const NameEndFilter& filter,
                              Visit& visit) {
  const std::uint64_t anyBefore = filter.oneByteNames ? ~std::uint64_t{0} : 0;
  const std::uint64_t last1 = (here.last << 1) | (previous.last >> 63);
  const std::uint64_t before2 = (here.beforeLast << 2) | (previous.beforeLast >> 62);
  const std::uint64_t before3 = (here.beforeLast << 3) | (previous.beforeLast >> 61);
  const std::uint64_t zero2 = (here.zero << 2) | (previous.zero >> 62);
  const std::uint64_t zeroAfter = (here.zero >> 1) | (std::uint64_t{bytes[start + 64] == 0} << 63);
  const std::uint64_t eightBit = before2 | anyBefore;
  const std::uint64_t wide = zero2 & zeroAfter & (before3 | anyBefore);
  for (std::uint64_t ends = here.zero & last1 & (eightBit | wide); ends != 0; ends &= ends - 1) {
    const std::uint64_t z = start + static_cast<unsigned>(__builtin_ctzll(ends));
    if (checkEach && !NameMayEndBefore(bytes, length, filter, z)) continue;
    if (!visit(z)) return false;
  }
  return true;
}

// Walks the blocks with AVX2; returns where the bytes left over begin, or
// length when visit asked to stop.
template <class Visit>
__attribute__((target("avx2"))) std::uint64_t NameEndBlocksAvx2(const std::uint8_t* bytes, std::uint64_t length,
                                                                 const NameEndFilter& filter, Visit& visit) {
  const NameByteTables tables{
      BothLanes(filter.lastBytes.byLowNibble), BothLanes(filter.beforeLastBytes.byLowNibble),
      _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0,
                       0, 0, 0, 0, 0)};
  ByteMasks previous{0, 0, 0};
  std::uint64_t start = 0;
  for (; start + 64 < length; start += 64) {
    const ByteMasks here = MasksOf64Avx2(bytes + start, tables);
    if (!VisitNameEndsOf64<false>(bytes, length, start, here, previous, filter, visit)) return length;
    previous = here;
  }
  return start;
}

template <class Visit>
std::uint64_t NameEndBlocksSse2(const std::uint8_t* bytes, std::uint64_t length, const NameEndFilter& filter,
                                Visit& visit) {
  const __m128i lowest = _mm_set1_epi8(static_cast<char>(filter.lowest));
  const __m128i span = _mm_set1_epi8(static_cast<char>(filter.highest - filter.lowest));
  // The masks of the 64 bytes before the block; none before the start.
  ByteMasks previous{0, 0, 0};
  std::uint64_t start = 0;
  // Each block needs the byte after it too.
  for (; start + 64 < length; start += 64) {
    const ByteMasks here = MasksOf64(bytes + start, lowest, span);
    if (!VisitNameEndsOf64<true>(bytes, length, start, here, previous, filter, visit)) return length;
    previous = here;
  }
  return start;
}

inline bool ProcessorHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2") != 0;
  return has;
}
#endif

// Calls visit(z), in increasing order, for exactly the z in [0, length)
// where NameMayEndBefore holds; stops when visit returns false. Reads
// nothing outside [0, length).
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
    if (NameMayEndBefore(bytes, length, filter, z) && !visit(z)) return;
  }
}

#endif
