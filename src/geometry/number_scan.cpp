#include "geometry/number_scan.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

namespace skewquad {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Powers of ten that a double holds exactly (up to 1e7 is all a short
// decimal needs).
constexpr double kExactPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};

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

// The value of the first `count` (1 to 8) digits of a word of digit values
// (characters xor '0'): moved to the top of the word, the first digit
// highest, then neighbours combined: pairs, fours, the eight.
std::uint64_t value_of_digits(std::uint64_t offsets, int count) {
  std::uint64_t digits = offsets << (8 * (8 - count));
  digits = (digits * 10) + (digits >> 8);
  digits = (((digits & 0x000000FF000000FF) * 0x000F424000000064) +
            (((digits >> 16) & 0x000000FF000000FF) * 0x0000271000000001)) >>
           32;
  return digits & 0xFFFFFFFF;
}

// A plain decimal of at most seven characters ("-12.5752" has seven after
// its sign), read from one word without a branch on what it holds: signs,
// points and lengths come in no order a branch predictor could learn.
// Returns the position after it, or nullptr when the word holds anything
// else (a longer number, an exponent, no digit at all): the general reader
// takes over.
[[gnu::always_inline]] inline const char* read_short_decimal(const char* p, bool negative,
                                                             double& value) {
  const std::uint64_t offsets = load_word(p) ^ (kEachByte * '0');
  const std::uint64_t not_digits = not_digit_bytes(offsets);
  const std::uint64_t points = ~nonzero_bytes(offsets ^ (kEachByte * ('.' ^ '0'))) & kTopBits;
  const std::uint64_t first_point = points & (~points + 1);
  const std::uint64_t ends = not_digits & ~first_point;
  if (ends == 0) return nullptr;
  const int length = std::countr_zero(ends) / 8;
  const int point_at = std::countr_zero(first_point | (std::uint64_t{1} << 63)) / 8;
  const bool has_point = point_at < length;
  const int digit_count = length - static_cast<int>(has_point);
  const char after = static_cast<char>((offsets >> (8 * length)) ^ '0');
  if (digit_count == 0 || after == 'e' || after == 'E') return nullptr;

  // Close the gap of the point by moving the integer digits up one byte; a
  // zero byte comes in below them, a leading zero that changes nothing.
  const std::uint64_t below_point = (std::uint64_t{1} << (8 * point_at & 63)) - 1;
  const std::uint64_t integer_part = offsets & below_point;
  const std::uint64_t rest = offsets & ~((below_point << 8) | 0xFF);
  const std::uint64_t point_mask = -static_cast<std::uint64_t>(has_point);
  const std::uint64_t joined =
      (((integer_part << 8) | rest) & point_mask) | (offsets & ~point_mask);
  const std::uint64_t digits = value_of_digits(joined, length);
  const int fraction_digits = (length - point_at - 1) & -static_cast<int>(has_point);
  // Seven digits and a power of ten up to 1e7 are exact doubles: one
  // correctly rounded division gives the correctly rounded value.
  const double magnitude = static_cast<double>(digits) / kExactPowersOfTen[fraction_digits];
  value = std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude) |
                                (static_cast<std::uint64_t>(negative) << 63));
  return p + length;
}

// The whole reader, inlined into both entries below so that a run of
// coordinates is read without a call for each.
[[gnu::always_inline]] inline const char* read_double(const char* p, const char* end,
                                                      double& value) {
  p = skip_scan_space(p, end);
  if (end - p > 8) {
    const bool negative = *p == '-';
    const char* const digits = p + static_cast<int>(negative || *p == '+');
    if (const char* stop = read_short_decimal(digits, negative, value)) return stop;
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

}  // namespace skewquad
