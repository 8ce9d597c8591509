#ifndef SESSION_STATS_BASE_BYTE_SEARCH_H_
#define SESSION_STATS_BASE_BYTE_SEARCH_H_

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cstring>

namespace sessionstats {

/// The first byte in [from, end) that equals `a` or `b`, or `end`; reads
/// nothing outside. REQUIRES: from <= end. Inline, as the log's fields are
/// too short for a call to memchr to pay: sixteen bytes at a time, then one.
inline const char* findEither(const char* from, const char* end, char a,
                              char b) {
#if defined(__SSE2__)
  const __m128i as = _mm_set1_epi8(a);
  const __m128i bs = _mm_set1_epi8(b);
  for (; end - from >= 16; from += 16) {
    __m128i bytes;
    std::memcpy(&bytes, from, sizeof bytes);
    const int hits = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, as), _mm_cmpeq_epi8(bytes, bs)));
    if (hits != 0) return from + std::countr_zero(static_cast<unsigned>(hits));
  }
#endif
  for (; from != end; ++from) {
    if (*from == a || *from == b) return from;
  }
  return end;
}

/// The first `byte` in [from, end), or `end`; see findEither.
inline const char* findByte(const char* from, const char* end, char byte) {
  return findEither(from, end, byte, byte);
}

}  // namespace sessionstats

#endif  // SESSION_STATS_BASE_BYTE_SEARCH_H_
