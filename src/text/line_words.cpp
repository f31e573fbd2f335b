// Words and number forms.
#include "text/line_words.h"

#include <algorithm>
#include <cstring>

#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Powers of ten that a double holds exactly (5^22 < 2^53).
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

LineWords split_words(std::string_view line, int wanted) {
  LineWords words;
  const char* p = line.data();
  const char* const end = p + line.size();
  wanted = std::min(wanted, LineWords::kMostWords);
  for (;;) {
    p = skip_scan_space(p, end);
    if (p == end || words.count == wanted) break;
    const char* start = p;
    while (p != end && !is_scan_space(*p)) ++p;
    words.words[words.count++] = std::string_view(start, static_cast<std::size_t>(p - start));
  }
  words.rest = std::string_view(p, static_cast<std::size_t>(end - p));
  return words;
}

NumberForm number_form(std::string_view word, bool with_value) {
  NumberForm form{};
  std::size_t i = 0;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) ++i;
  const std::size_t integer_start = i;
  while (i < word.size() && is_digit(word[i])) ++i;
  const std::size_t integer_digits = i - integer_start;
  std::size_t fraction_start = i;
  bool point = false;
  if (i < word.size() && word[i] == '.') {
    point = true;
    fraction_start = ++i;
    while (i < word.size() && is_digit(word[i])) ++i;
  }
  const std::size_t fraction_digits = point ? i - fraction_start : 0;
  if (integer_digits + fraction_digits == 0) return form;
  if (i < word.size() && (word[i] == 'e' || word[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < word.size() && (word[j] == '+' || word[j] == '-')) ++j;
    const std::size_t exponent_start = j;
    while (j < word.size() && is_digit(word[j])) ++j;
    if (j == exponent_start) return form;
    form.exponent = true;
    i = j;
  }
  if (i != word.size()) return form;
  form.is_number = true;
  form.fraction_digits = static_cast<int>(fraction_digits);
  if (!form.exponent) {
    form.trailing_zero = fraction_digits > 0 && word[i - 1] == '0';
    form.leading_zero = integer_digits > 1 && word[integer_start] == '0';
  }
  // Up to 15 digits without an exponent: the digits as an integer and a
  // power of ten are both exact in a double, so one division rounds as the
  // general reader does (W. Clinger, "How to read floating point numbers
  // accurately", 1990). Anything else is read by it.
  if (!with_value) return form;
  if (!form.exponent && integer_digits + fraction_digits <= 15) {
    std::uint64_t digits = 0;
    for (std::size_t k = integer_start; k < integer_start + integer_digits; ++k) {
      digits = digits * 10 + static_cast<unsigned>(word[k] - '0');
    }
    for (std::size_t k = fraction_start; k < fraction_start + fraction_digits; ++k) {
      digits = digits * 10 + static_cast<unsigned>(word[k] - '0');
    }
    const double magnitude = static_cast<double>(digits) / kExactPowers[fraction_digits];
    form.value = word[0] == '-' ? -magnitude : magnitude;
    return form;
  }
  scan_double(word, form.value);
  return form;
}

std::string_view without_needless_zeros(std::string_view word, char* room) {
  std::size_t size = 0;
  std::size_t i = 0;
  if (word[0] == '+' || word[0] == '-') room[size++] = word[i++];
  // Leading zeros, but one before the point or alone.
  while (i + 1 < word.size() && word[i] == '0' && is_digit(word[i + 1])) ++i;
  std::size_t end = word.size();
  if (word.find('.') != std::string_view::npos) {
    while (word[end - 1] == '0') --end;
    if (word[end - 1] == '.') --end;
  }
  std::memcpy(room + size, word.data() + i, end - i);
  size += end - i;
  // ".0" or "-.0" loses every digit: the number is zero.
  if (size == 0 || (size == 1 && (room[0] == '-' || room[0] == '+'))) room[size++] = '0';
  return {room, size};
}

bool is_direct_colour(std::string_view word) {
  if (word.size() < 3 || word[0] != '0' || (word[1] != 'x' && word[1] != 'X')) return false;
  return std::all_of(word.begin() + 2, word.end(), [](char c) {
    return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

}  // namespace skewquad
