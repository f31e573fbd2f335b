// SSE2 kernel: plain decimals valued two at a time, one in each 64-bit
// lane. Included by decimal_lanes.h only; the portable kernel beside it
// leaves every number to the one-at-a-time path, which gives the same
// values to the last bit.
#pragma once

#include "text/digit_words.h"
#include "text/plain_decimal.h"

namespace skewquad {

// The values of two plain decimals, one in each 64-bit lane, worked out as
// scaled_digits_of and value_of_eight_digits do but in both lanes at once:
// neighbouring digits are joined into pairs, fours and eights by
// multiply-adds of 16-bit lanes (eight digits stay below 2^31).
[[gnu::always_inline]] inline __m128d values_of_two(__m128i words) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi8(1);
  const __m128i minus_bits = _mm_and_si128(words, _mm_set1_epi64x(0x80));
  const __m128i digits = _mm_xor_si128(words, minus_bits);
  // A one in the lowest bit of the point's byte; below it, every bit of
  // the bytes under the point (all of them when there is none).
  const __m128i point = _mm_and_si128(_mm_cmpeq_epi8(digits, _mm_set1_epi8('.' ^ '0')), ones);
  const __m128i below_point = _mm_sub_epi64(point, _mm_set1_epi64x(1));
  const __m128i above_point = _mm_sub_epi64(zero, _mm_slli_epi64(point, 8));
  const __m128i joined = _mm_or_si128(_mm_and_si128(digits, below_point),
                                      _mm_srli_epi64(_mm_and_si128(digits, above_point), 8));
  // One for the point's byte and each above it, summed per lane by a sum of
  // absolute differences from zero.
  const __m128i exponents = _mm_sad_epu8(_mm_andnot_si128(below_point, ones), zero);
  // Multiply-add weights, the first digit in the lower 16 bits: pairs as
  // 10 * first + second, fours as 100 * first pair + second, eights as
  // 10000 * first four + second.
  const __m128i tens = _mm_set1_epi32(10 + (1 << 16));
  const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(joined, zero), tens),
                                        _mm_madd_epi16(_mm_unpackhi_epi8(joined, zero), tens));
  const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(100 + (1 << 16)));
  const __m128i eights =
      _mm_madd_epi16(_mm_packs_epi32(fours, fours), _mm_set1_epi32(10000 + (1 << 16)));
  const __m128d divisors =
      _mm_set_pd(digit_words::kExactPowersOfTen[_mm_extract_epi16(exponents, 4)],
                 digit_words::kExactPowersOfTen[_mm_cvtsi128_si32(exponents)]);
  const __m128d quotients = _mm_div_pd(_mm_cvtepi32_pd(eights), divisors);
  return _mm_or_pd(quotients, _mm_castsi128_pd(_mm_slli_epi64(minus_bits, 56)));
}

/// Values numbers[0..count) in pairs into values; returns how many it
/// valued (an even count; the last number of an odd count is left).
inline int values_in_lanes(const PlainDecimal* numbers, int count, double* values) {
  int i = 0;
  // Each lane is rounded on its own exactly as a single division is. Each
  // word is loaded on its own, as it was stored: one load spanning two
  // recent stores would wait for them to leave the store buffer.
  for (; i + 1 < count; i += 2) {
    const __m128i words =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(numbers + i)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(numbers + i + 1)));
    _mm_storeu_pd(values + i, values_of_two(words));
  }
  return i;
}

}  // namespace skewquad
