// Whether a piece of text holds a byte above 0x7F: what tells a text that
// is ASCII throughout, read sixteen bytes at a time (SSE2) or eight.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/simd.h"

namespace skewquad {

/// True when a byte of `piece` is above 0x7F. Up to 15 bytes after it are
/// read, and looked past: the line reader keeps them readable after every
/// piece.
inline bool has_high_byte(std::string_view piece) {
  const char* const p = piece.data();
  const std::size_t size = piece.size();
#if SKEWQUAD_USE_SSE2
  for (std::size_t at = 0; at < size; at += 16) {
    auto high = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at))));
    if (size - at < 16) high &= (1U << (size - at)) - 1;
    if (high != 0) return true;
  }
  return false;
#else
  for (std::size_t at = 0; at < size; at += 8) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, p + at, 8);
    std::uint64_t high = eight & 0x8080808080808080ULL;
    if (size - at < 8) high &= (std::uint64_t{1} << (8 * (size - at))) - 1;
    if (high != 0) return true;
  }
  return false;
#endif
}

}  // namespace skewquad
