// The general conversion: short decimals written directly, any other value
// through std::to_chars.
#include "writer/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace skewquad {
namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
constexpr int kMostDecimals = 10;

// A value that is the double nearest a decimal of at most `precision`
// significant digits prints as that decimal when it is written without an
// exponent: rounding to `precision` digits cannot move it off a decimal of
// that few digits, a hair away. Coordinates read from a part are nearly
// all such. The decimal is found by trying each count of decimals, fewest
// first, so that it comes without trailing zeros. False for any other value.
bool append_short_decimal(std::string& text, double value, int precision) {
  const double magnitude = std::fabs(value);
  const double digit_limit = kPowersOfTen[precision];
  // From 1e-4 up and below 10^precision, %g writes no exponent.
  if (!(magnitude >= 1e-4 && magnitude < digit_limit)) return false;
  for (int decimals = 0; decimals <= kMostDecimals; ++decimals) {
    const double scaled = std::nearbyint(magnitude * kPowersOfTen[decimals]);
    if (scaled >= digit_limit) return false;
    if (scaled / kPowersOfTen[decimals] != magnitude) continue;
    char buffer[16];
    const char* const end =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint64_t>(scaled)).ptr;
    const std::string_view digits(buffer, static_cast<std::size_t>(end - buffer));
    const auto fraction = static_cast<std::size_t>(decimals);
    if (value < 0) text += '-';
    if (digits.size() <= fraction) {
      text += "0.";
      text.append(fraction - digits.size(), '0');
      text += digits;
    } else {
      text += digits.substr(0, digits.size() - fraction);
      if (fraction > 0) {
        text += '.';
        text += digits.substr(digits.size() - fraction);
      }
    }
    return true;
  }
  return false;
}

}  // namespace

void append_general(std::string& text, double value, int precision) {
  if (precision <= 7 && append_short_decimal(text, value, precision)) return;
  // The longest form: sign, digits, point, "e-308" and some to spare.
  char digits[64];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, precision);
  text.append(digits, result.ptr);
}

}  // namespace skewquad
