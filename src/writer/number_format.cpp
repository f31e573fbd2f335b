#include "writer/number_format.h"

#include <charconv>

namespace skewquad {

void append_general(std::string& text, double value, int precision) {
  // The longest form: sign, digits, point, "e-308" and some to spare.
  char digits[64];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, precision);
  text.append(digits, result.ptr);
}

}  // namespace skewquad
