// The scanf-compatible number readers: "%d" and "%lf" without locale,
// hexadecimal floats, inf or nan, with a branch-free path for the short
// decimals parts are written in.
#include "text/scanf_numbers.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>

#include "text/digit_words.h"
#include "text/read_ahead.h"

namespace skewquad {
namespace {

using namespace digit_words;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

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

// The same from the first `length` (1 to 8) characters of a word; the shift
// drops whatever follows them.
[[gnu::always_inline]] inline double magnitude_of(std::uint64_t offsets, int length) {
  return magnitude_of_top_digits(offsets << ((8 * (8 - length)) & 63));
}

// A plain decimal of at most seven characters ("-12.5752" has seven after
// its sign), read from one word without a branch on what it holds: signs,
// points and lengths come in no order a branch predictor could learn.
// Returns the position after it, or nullptr when the word holds anything
// else (a longer number, an exponent, no digit at all): the general reader
// takes over. Its caller leaves it nine bytes of text at least, so that it
// reads nothing past the text.
[[gnu::always_inline]] inline const char* read_short_decimal(const char* p, std::uint64_t sign_bit,
                                                             double& value) {
  const std::uint64_t offsets = load_word(p) ^ (kEachByte * '0');
  const std::uint64_t not_digits = not_digit_bytes(offsets);
  const std::uint64_t points = ~nonzero_bytes(offsets ^ (kEachByte * ('.' ^ '0'))) & kTopBits;
  const std::uint64_t first_point = points & (~points + 1);  // the lowest set bit alone
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
  if (end - p > static_cast<std::ptrdiff_t>(kWordBytes)) {
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

}  // namespace skewquad
