#include "geometry/number_scan.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

namespace skewquad {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;
constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;

// Saturates far beyond any exponent a double can reach, so that an absurdly
// long exponent cannot overflow while it is read.
constexpr long long kExponentCap = 1'000'000'000'000;

// What scan_double learned about the text of one number.
struct DecimalText {
  const char* mantissa_begin;       // first digit or point, after the sign
  const char* mantissa_end;         // just past the last digit or point
  const char* number_end;           // just past the exponent, if one was read
  long long exponent = 0;           // value of the written exponent, capped
  std::uint64_t leading = 0;        // the first significant digits as an integer
  int leading_count = 0;            // how many significant digits `leading` holds
  bool leading_exact = true;        // no nonzero digit was left out of `leading`
  long long point_shift = 0;        // places `leading` must move right: digits
                                    // after the point, less integer digits left out
  long long integer_digits = 0;     // significant digits before the point
  long long zeros_after_point = 0;  // zeros between the point and the first
                                    // significant digit, when none came before
};

// The value when the digits and the exponent both fit an exact double: one
// correctly rounded multiplication or division of two exact numbers gives
// the same double as any correct conversion of the whole text.
bool convert_exactly(const DecimalText& text, double& magnitude) {
  if (!text.leading_exact || text.leading > kLargestExactInteger) return false;
  if (text.leading == 0) {
    magnitude = 0.0;
    return true;
  }
  const long long power = text.exponent - text.point_shift;
  if (power < -kLargestExactPower || power > kLargestExactPower) return false;
  const double digits = static_cast<double>(text.leading);
  magnitude = power < 0 ? digits / kExactPowersOfTen[-power] : digits * kExactPowersOfTen[power];
  return true;
}

double convert_in_general(const DecimalText& text) {
  double magnitude = 0.0;
  const auto [stop, error] = std::from_chars(text.mantissa_begin, text.number_end, magnitude);
  if (error == std::errc::result_out_of_range) {
    // The text names a number beyond a double's range at one end or the
    // other; the decimal position of its first significant digit says which.
    const long long position = text.integer_digits > 0 ? text.exponent + text.integer_digits
                                                       : text.exponent - text.zeros_after_point;
    return position > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return magnitude;
}

// Reads the number whose digits (or point) start at `p`, in full generality:
// any count of digits, an exponent, results beyond the range of a double.
[[gnu::noinline]] const char* scan_decimal_text(const char* p, const char* end, bool negative,
                                                double& value) {
  DecimalText text;
  text.mantissa_begin = p;
  bool any_digit = false;
  bool after_point = false;
  for (; p != end; ++p) {
    const char c = *p;
    if (is_digit(c)) {
      any_digit = true;
      const bool significant = text.leading_count > 0 || c != '0';
      if (!significant) {
        if (after_point) {
          ++text.zeros_after_point;
          ++text.point_shift;
        }
        continue;
      }
      if (text.leading_count < 19) {
        text.leading = text.leading * 10 + static_cast<std::uint64_t>(c - '0');
        ++text.leading_count;
        if (after_point) ++text.point_shift;
      } else if (c != '0') {
        text.leading_exact = false;
      } else if (!after_point) {
        // A trailing zero of the integer part scales what was kept.
        --text.point_shift;
      }
      if (!after_point) ++text.integer_digits;
    } else if (c == '.' && !after_point) {
      after_point = true;
    } else {
      break;
    }
  }
  if (!any_digit) return nullptr;
  text.mantissa_end = p;
  text.number_end = p;

  // An exponent counts only when digits follow the e and its sign.
  if (p != end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    bool exponent_negative = false;
    if (q != end && (*q == '+' || *q == '-')) {
      exponent_negative = *q == '-';
      ++q;
    }
    if (q != end && is_digit(*q)) {
      long long exponent = 0;
      for (; q != end && is_digit(*q); ++q) {
        if (exponent < kExponentCap) exponent = exponent * 10 + (*q - '0');
      }
      text.exponent = exponent_negative ? -exponent : exponent;
      text.number_end = q;
    }
  }

  double magnitude = 0.0;
  if (!convert_exactly(text, magnitude)) magnitude = convert_in_general(text);
  value = negative ? -magnitude : magnitude;
  return text.number_end;
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

// A plain decimal of at most seven characters ("-12.5752" has seven after its
// sign), read from one word without a branch on what it holds: signs,
// points and lengths come in no order a branch predictor could learn. Returns the
// position after it, or nullptr when the word holds anything else (a longer
// number, an exponent, no digit at all): the general reader takes over.
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
  // At most seven digits are an exact double, and so is a power of ten up
  // to 1e22: one correctly rounded division gives the correctly rounded value.
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
