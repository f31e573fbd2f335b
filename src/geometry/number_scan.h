#pragma once

#include <cstdint>
#include <string_view>

namespace skewquad {

// Readers of the two number forms the tool accepts, with scanf's "%d" and
// "%lf" meaning but no locale, no hexadecimal floats, no inf or nan. Each
// takes the text from `p` up to `end`, skips leading white space, and on
// success stores the number and returns the position just past it. When no
// number starts there it returns nullptr and leaves `value` untouched.

inline bool is_scan_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline const char* skip_scan_space(const char* p, const char* end) {
  while (p != end && is_scan_space(*p)) ++p;
  return p;
}

// Decimal integer, accumulated modulo 2^32 like "%d" (no overflow check).
const char* scan_int(const char* p, const char* end, std::int32_t& value);

// Decimal floating-point number, correctly rounded; a magnitude too large for
// a double gives an infinity, one too small gives zero.
const char* scan_double(const char* p, const char* end, double& value);

// Reads `count` numbers in a row as scan_double would, into values[0..count);
// nullptr if any of them is missing.
const char* scan_doubles(const char* p, const char* end, double* values, int count);

// Reads a word of one to eight decimal digits followed by white space, as
// scan_int would; false, leaving `value` alone, for any other word. Nine
// bytes from `text` must be readable.
bool read_digits_word(const char* text, std::int32_t& value);

// A plain decimal: an optional '-', then one to eight digits and points,
// at least one digit and at most one point. Held in one word as its value
// is worked out from: the characters after the sign, xor '0', moved up to
// fill the top bytes, zeros below them; and the top bit of the lowest byte,
// which no character xor '0' sets, for the minus sign. Equal words are
// equal values.
struct PlainDecimal {
  std::uint64_t word;
  bool operator==(const PlainDecimal&) const = default;
};

// The plain decimals at line + starts[i] for i up to `count`. Each must be
// followed by a byte below '-' (white space or NUL, say), with eight bytes
// readable after its sign.
void plain_decimals_at(const char* line, const std::uint8_t* starts, int count,
                       PlainDecimal* numbers);

// Their values, exactly as scan_double reads them from the same characters.
void values_of(const PlainDecimal* numbers, int count, double* values);

inline const char* scan_int(std::string_view text, std::int32_t& value) {
  return scan_int(text.data(), text.data() + text.size(), value);
}

inline const char* scan_double(std::string_view text, double& value) {
  return scan_double(text.data(), text.data() + text.size(), value);
}

}  // namespace skewquad
