// A line of any type cut into its words, and the form of each number as
// written: what the checks of number format look at.
#pragma once

#include <cstdint>
#include <string_view>

namespace skewquad {

/// The words of a line: at most kMostWords, split at white space as scanf
/// skips it; `rest` is what follows the last word taken (a sub-file's name).
struct LineWords {
  static constexpr int kMostWords = 15;
  std::string_view words[kMostWords];
  int count = 0;
  std::string_view rest;  // after words[count - 1], leading white space skipped
};

/// The first `wanted` words of `line` (at most kMostWords), and the rest.
LineWords split_words(std::string_view line, int wanted);

/// How a number is written.
struct NumberForm {
  bool is_number = false;      // the whole word reads as one number
  bool exponent = false;       // written with an exponent (1.5e-005)
  int fraction_digits = 0;     // after the point (of the mantissa)
  bool trailing_zero = false;  // a fraction that ends in 0 (1.50, .0); never with an exponent
  bool leading_zero =
      false;           // a needless 0 before other digits (01.5, -05); never with an exponent
  double value = 0.0;  // what it reads as
};

/// The form of the word `word` as a number: sign, digits with at most one
/// point among them, then an exponent, and nothing else. Its value is read
/// only when `with_value` says so (it is 0 otherwise).
NumberForm number_form(std::string_view word, bool with_value = true);

/// The word without its needless zeros, the same number: "1.50" gives
/// "1.5", "2.0" gives "2", "-05" gives "-5", "00.50" gives "0.5".
/// Only for a word whose form has trailing or leading zeros.
std::string_view without_needless_zeros(std::string_view word, char* room);

/// True for a colour written as a direct colour, 0x followed by hex digits.
bool is_direct_colour(std::string_view word);

}  // namespace skewquad
