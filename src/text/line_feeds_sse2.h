// SSE2 kernel: the first line feed of a piece, 128 bytes at a time.
// Included by line_feeds.h only; the portable kernel beside it finds the
// same line feed.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "text/read_ahead.h"

namespace skewquad {

// One bit for each line feed among the 64 bytes from `p`, bit i for p[i].
inline std::uint64_t line_feeds_in(const char* p) {
  std::uint64_t bits = 0;
#pragma GCC unroll 4
  for (std::ptrdiff_t chunk = 0; chunk < 4; ++chunk) {
    const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * chunk));
    const auto found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(text, _mm_set1_epi8('\n'))));
    bits |= static_cast<std::uint64_t>(found) << (16 * chunk);
  }
  return bits;
}

// The first line feed at or after `p` and before `limit`, or `limit`; the
// kLineFeedWindow bytes from `p` are read as two halves of 64. A
// branch on which half of the window holds it would be mispredicted line
// after line, so both halves are counted and one chosen with a mask. The
// counts are of words made nonzero by a top bit, which for the high half
// stands for "none": its last byte is looked at again below.
inline const char* find_line_feed(const char* p, const char* limit) {
  constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;
  const std::uint64_t low = line_feeds_in(p);
  const std::uint64_t high = line_feeds_in(p + 64);
  // All ones when `low` is zero: x | -x has its top bit set for every x but
  // zero.
  const std::uint64_t low_is_empty = ((low | (~low + 1)) >> 63) - 1;
  const auto in_low = static_cast<std::uint64_t>(std::countr_zero(low | kTopBit));
  const auto in_high = 64 + static_cast<std::uint64_t>(std::countr_zero(high | kTopBit));
  const std::size_t offset = in_low ^ ((in_low ^ in_high) & low_is_empty);
  constexpr std::size_t kSearched = kLineFeedWindow - 1;
  if (offset < kSearched) return std::min(p + offset, limit);
  if (limit - p <= static_cast<std::ptrdiff_t>(kSearched)) return limit;
  const void* found =
      std::memchr(p + kSearched, '\n', static_cast<std::size_t>(limit - p) - kSearched);
  return found != nullptr ? static_cast<const char*>(found) : limit;
}

}  // namespace skewquad
