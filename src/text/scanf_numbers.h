// The scanf-compatible number readers: "%d" and "%lf" as the tool reads
// every number of the command line and of a quad line.
#pragma once

#include <cstdint>
#include <string_view>

namespace skewquad {

// Readers of the two number forms the tool accepts, with scanf's "%d" and
// "%lf" meaning but no locale, no hexadecimal floats, no inf or nan. Each
// takes the text from `p` up to `end`, skips leading white space, and on
// success stores the number and returns the position just past it. When no
// number starts there it returns nullptr and leaves `value` untouched.

/// White space as scanf skips it: blank, \t \n \v \f \r.
inline bool is_scan_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// The first character from `p` that is not white space, or `end`.
inline const char* skip_scan_space(const char* p, const char* end) {
  while (p != end && is_scan_space(*p)) ++p;
  return p;
}

/// Decimal integer, accumulated modulo 2^32 like "%d" (no overflow check).
const char* scan_int(const char* p, const char* end, std::int32_t& value);

/// Decimal floating-point number, correctly rounded; a magnitude too large
/// for a double gives an infinity, one too small gives zero.
const char* scan_double(const char* p, const char* end, double& value);

/// Reads `count` numbers in a row as scan_double would, into
/// values[0..count); nullptr if any of them is missing.
const char* scan_doubles(const char* p, const char* end, double* values, int count);

/// scan_int over a whole text.
inline const char* scan_int(std::string_view text, std::int32_t& value) {
  return scan_int(text.data(), text.data() + text.size(), value);
}

/// scan_double over a whole text.
inline const char* scan_double(std::string_view text, double& value) {
  return scan_double(text.data(), text.data() + text.size(), value);
}

}  // namespace skewquad
