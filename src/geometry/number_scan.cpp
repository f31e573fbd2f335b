#include "geometry/number_scan.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skewquad {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Powers of ten that a double holds exactly (up to 1e8 is all a short
// decimal needs).
constexpr double kExactPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// Saturates far beyond any exponent a double can reach, so that an absurdly
// long exponent cannot overflow while it is read.
constexpr long long kExponentCap = 1'000'000'000'000;

// Reads the number whose digits (or point) start at `p`, in full generality:
// any count of digits, an exponent, results beyond the range of a double.
[[gnu::noinline]] const char* scan_decimal_text(const char* p, const char* end, bool negative,
                                                double& value) {
  const char* const begin = p;
  bool any_digit = false;
  bool any_significant = false;
  bool after_point = false;
  // Where the first significant digit stands, should the number be too
  // large or too small for a double.
  long long integer_digits = 0;
  long long zeros_after_point = 0;
  for (; p != end; ++p) {
    const char c = *p;
    if (is_digit(c)) {
      any_digit = true;
      any_significant = any_significant || c != '0';
      if (!after_point && any_significant) ++integer_digits;
      if (after_point && !any_significant) ++zeros_after_point;
    } else if (c == '.' && !after_point) {
      after_point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return nullptr;
  const char* number_end = p;
  long long exponent = 0;

  // An exponent counts only when digits follow the e and its sign.
  if (p != end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    bool exponent_negative = false;
    if (q != end && (*q == '+' || *q == '-')) {
      exponent_negative = *q == '-';
      ++q;
    }
    if (q != end && is_digit(*q)) {
      for (; q != end && is_digit(*q); ++q) {
        if (exponent < kExponentCap) exponent = exponent * 10 + (*q - '0');
      }
      if (exponent_negative) exponent = -exponent;
      number_end = q;
    }
  }

  double magnitude = 0.0;
  const auto [stop, error] = std::from_chars(begin, number_end, magnitude);
  if (error == std::errc::result_out_of_range) {
    // from_chars leaves the value alone when it is out of range: a first
    // significant digit far left of the point means too large, far right
    // of it too small.
    const long long position =
        integer_digits > 0 ? exponent + integer_digits : exponent - zeros_after_point;
    magnitude = position > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  value = negative ? -magnitude : magnitude;
  return number_end;
}

constexpr std::uint64_t kEachByte = 0x0101010101010101;
static_assert(std::endian::native == std::endian::little,
              "the first character of a word must be its lowest byte");

// Words of eight characters, the first lowest, and per-byte masks in the
// top bit of each byte; the sums below never carry from byte to byte.
constexpr std::uint64_t kTopBits = kEachByte * 0x80;
constexpr std::uint64_t kLowBits = kEachByte * 0x7F;

std::uint64_t nonzero_bytes(std::uint64_t word) {
  return (((word & kLowBits) + kLowBits) | word) & kTopBits;
}

std::uint64_t load_word(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Bytes whose top bit is set where the byte, xor '0', is not a digit.
std::uint64_t not_digit_bytes(std::uint64_t offsets) {
  return (((offsets & kLowBits) + kEachByte * (0x80 - 10)) | offsets) & kTopBits;
}

// The value of eight digit values (characters xor '0'), the first digit in
// the lowest byte: neighbours combined into pairs, fours, the eight.
std::uint64_t value_of_eight_digits(std::uint64_t digits) {
  digits = (digits * 10) + (digits >> 8);
  digits = (((digits & 0x000000FF000000FF) * 0x000F424000000064) +
            (((digits >> 16) & 0x000000FF000000FF) * 0x0000271000000001)) >>
           32;
  return digits & 0xFFFFFFFF;
}

// The magnitude of a plain decimal from its characters after the sign, xor
// '0' (digits and at most one point), moved up to fill the top bytes of the
// word, zeros below them. A point is closed by moving the fraction digits
// down over it, which leaves a zero in the top byte, so that the digits
// read ten times their value: dividing by one more power of ten makes up
// for it. Eight digits and a power of ten up to 1e8 are exact doubles: the
// one correctly rounded division gives the correctly rounded value.
struct ScaledDigits {
  std::uint64_t digits;    // the digits as an integer, below 10^8
  std::uint64_t exponent;  // of the power of ten to divide them by, 0 to 8
};

[[gnu::always_inline]] inline ScaledDigits scaled_digits_of(std::uint64_t digits) {
  // Of a digit (0 to 9) and a point ('.' xor '0' is 0x1E), only the point
  // has bit 4 set: moved up to the top bit, it marks the point's byte.
  static_assert(('.' ^ '0') == 0x1E);
  const std::uint64_t point = (digits << 3) & kTopBits;
  const std::uint64_t below_point = (point >> 7) - 1;
  const std::uint64_t joined = (digits & below_point) | ((digits & -(point << 1)) >> 8);
  // One for the point's byte and each above it: their top bits, counted by
  // summing the bytes into the highest.
  return {value_of_eight_digits(joined), ((((~point + 1) & kTopBits) >> 7) * kEachByte) >> 56};
}

[[gnu::always_inline]] inline double magnitude_of_top_digits(std::uint64_t digits) {
  const ScaledDigits scaled = scaled_digits_of(digits);
  return static_cast<double>(scaled.digits) / kExactPowersOfTen[scaled.exponent];
}

// The same from the first `length` (1 to 8) characters of a word; the shift
// drops whatever follows them.
[[gnu::always_inline]] inline double magnitude_of(std::uint64_t offsets, int length) {
  return magnitude_of_top_digits(offsets << ((8 * (8 - length)) & 63));
}

// 1 when `c` is `wanted`, else 0, by arithmetic: a compare's flag moved into
// a byte register keeps the register's old contents as an input, a false
// dependence that chains the reading of each number to the one before.
std::uint64_t one_if(char c, char wanted) {
  return ((static_cast<std::uint64_t>(static_cast<unsigned char>(c ^ wanted))) - 1) >> 63;
}

// A plain decimal of at most seven characters ("-12.5752" has seven after
// its sign), read from one word without a branch on what it holds: signs,
// points and lengths come in no order a branch predictor could learn.
// Returns the position after it, or nullptr when the word holds anything
// else (a longer number, an exponent, no digit at all): the general reader
// takes over.
[[gnu::always_inline]] inline const char* read_short_decimal(const char* p, std::uint64_t sign_bit,
                                                             double& value) {
  const std::uint64_t offsets = load_word(p) ^ (kEachByte * '0');
  const std::uint64_t not_digits = not_digit_bytes(offsets);
  const std::uint64_t points = ~nonzero_bytes(offsets ^ (kEachByte * ('.' ^ '0'))) & kTopBits;
  const std::uint64_t first_point = points & (~points + 1);
  const std::uint64_t ends = not_digits & ~first_point;
  // No end within the word, or no digit before it.
  if (ends == 0 || (~not_digits & kTopBits & (ends - 1)) == 0) return nullptr;
  const int length = std::countr_zero(ends) / 8;
  const char after = p[length];
  if (after == 'e' || after == 'E') return nullptr;
  value =
      std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude_of(offsets, length)) | sign_bit);
  return p + length;
}

// The whole reader, inlined into both entries below so that a run of
// coordinates is read without a call for each.
[[gnu::always_inline]] inline const char* read_double(const char* p, const char* end,
                                                      double& value) {
  p = skip_scan_space(p, end);
  if (end - p > 8) {
    const std::uint64_t negative = one_if(*p, '-');
    const char* const digits = p + (negative | one_if(*p, '+'));
    if (const char* stop = read_short_decimal(digits, negative << 63, value)) return stop;
  }
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  return scan_decimal_text(p, end, negative, value);
}

}  // namespace

const char* scan_int(const char* p, const char* end, std::int32_t& value) {
  p = skip_scan_space(p, end);
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  if (p == end || !is_digit(*p)) return nullptr;
  std::uint32_t magnitude = 0;
  while (p != end && is_digit(*p)) {
    magnitude = magnitude * 10u + static_cast<std::uint32_t>(*p - '0');
    ++p;
  }
  value = static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
  return p;
}

const char* scan_double(const char* p, const char* end, double& value) {
  return read_double(p, end, value);
}

const char* scan_doubles(const char* p, const char* end, double* values, int count) {
  for (int i = 0; i < count && p != nullptr; ++i) p = read_double(p, end, values[i]);
  return p;
}

bool read_digits_word(const char* text, std::int32_t& value) {
  const std::uint64_t offsets = load_word(text) ^ (kEachByte * '0');
  const int length = std::countr_zero(not_digit_bytes(offsets)) / 8;
  if (length == 0 || !is_scan_space(text[length])) return false;
  value = static_cast<std::int32_t>(value_of_eight_digits(offsets << ((8 * (8 - length)) & 63)));
  return true;
}

void plain_decimals_at(const char* line, const std::uint8_t* starts, int count,
                       PlainDecimal* numbers) {
  for (int i = 0; i < count; ++i) {
    const char* const text = line + starts[i];
    const std::uint64_t negative = one_if(text[0], '-');
    const std::uint64_t word = load_word(text + negative);
    // The first byte below '-' ends the characters: the first whose top bit
    // the sum leaves clear. Digits and points carry into no byte above them,
    // and whatever follows the end cannot reach down to it.
    const std::uint64_t below_minus = ~(word + kEachByte * (0x80 - '-')) & kTopBits;
    // That flag moved to the byte before it (to the top byte for eight
    // characters) gives the shift that moves the characters to the top.
    const int shift = 63 - std::countr_zero((below_minus >> 8) | (std::uint64_t{1} << 63));
    numbers[i] = {((word ^ (kEachByte * '0')) << shift) | (negative << 7)};
  }
}

#if defined(__SSE2__)
namespace {

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
  // One for the point's byte and each above it, summed per lane.
  const __m128i exponents = _mm_sad_epu8(_mm_andnot_si128(below_point, ones), zero);
  const __m128i tens = _mm_set1_epi32(0x0001000A);
  const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(joined, zero), tens),
                                        _mm_madd_epi16(_mm_unpackhi_epi8(joined, zero), tens));
  const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00010064));
  const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), _mm_set1_epi32(0x00012710));
  const __m128d divisors = _mm_set_pd(kExactPowersOfTen[_mm_extract_epi16(exponents, 4)],
                                      kExactPowersOfTen[_mm_cvtsi128_si32(exponents)]);
  const __m128d quotients = _mm_div_pd(_mm_cvtepi32_pd(eights), divisors);
  return _mm_or_pd(quotients, _mm_castsi128_pd(_mm_slli_epi64(minus_bits, 56)));
}

}  // namespace
#endif

void values_of(const PlainDecimal* numbers, int count, double* values) {
  constexpr std::uint64_t kMinusBit = 0x80;
  int i = 0;
#if defined(__SSE2__)
  // The divisions are the dearest step: two at a time, each lane rounded
  // on its own exactly as a single division is. Each word is loaded on its
  // own, as it was stored: one load spanning two recent stores would wait
  // for them to leave the store buffer.
  for (; i + 1 < count; i += 2) {
    const __m128i words =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(numbers + i)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(numbers + i + 1)));
    _mm_storeu_pd(values + i, values_of_two(words));
  }
#endif
  for (; i < count; ++i) {
    const std::uint64_t word = numbers[i].word;
    values[i] = std::bit_cast<double>(
        std::bit_cast<std::uint64_t>(magnitude_of_top_digits(word & ~kMinusBit)) |
        (word & kMinusBit) << 56);
  }
}

}  // namespace skewquad
