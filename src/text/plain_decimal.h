// The fast path for the numbers of a located quad line: each coordinate a
// plain decimal held in one word, valued two at a time.
#pragma once

#include <cstdint>

namespace skewquad {

/// A plain decimal: an optional '-', then one to eight digits and points,
/// at least one digit and at most one point. Held in one word as its value
/// is worked out from: the characters after the sign, xor '0', moved up to
/// fill the top bytes, zeros below them; and the top bit of the lowest byte,
/// which no character xor '0' sets, for the minus sign. Equal words are
/// equal values.
///
/// "-12.5" is, lowest byte first, 80 00 00 00 01 02 1E 05.
struct PlainDecimal {
  std::uint64_t word;
  bool operator==(const PlainDecimal&) const = default;
};

/// Reads a word of one to eight decimal digits followed by white space, as
/// scan_int would; false, leaving `value` alone, for any other word. Reads
/// kWordReach bytes from `text`.
bool read_digits_word(const char* text, std::int32_t& value);

/// The plain decimals at line + starts[i] for i up to `count`. Each must be
/// followed by a byte below '-' (white space or NUL, say); kWordReach bytes
/// are read from each start.
void plain_decimals_at(const char* line, const std::uint8_t* starts, int count,
                       PlainDecimal* numbers);

/// Their values, exactly as scan_double reads them from the same characters.
void values_of(const PlainDecimal* numbers, int count, double* values);

}  // namespace skewquad
