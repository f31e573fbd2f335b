// Eight characters at a time in one 64-bit word: the byte-parallel tests
// and the digit valuation that the number readers share. Internal to the
// readers of text.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace skewquad::digit_words {

static_assert(std::endian::native == std::endian::little,
              "the first character of a word must be its lowest byte");

// Words of eight characters, the first lowest, and per-byte flags in the top
// bit of each byte. The sums below keep every byte below 0x100, so none
// carries into the byte above it.
inline constexpr std::uint64_t kEachByte = 0x0101010101010101;
inline constexpr std::uint64_t kTopBits = kEachByte * 0x80;  // 0x8080808080808080
inline constexpr std::uint64_t kLowBits = kEachByte * 0x7F;  // 0x7F7F7F7F7F7F7F7F

// Powers of ten that a double holds exactly (up to 1e8 is all eight digits
// need).
inline constexpr double kExactPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

/// The eight bytes from `p` as one word, the first lowest.
inline std::uint64_t load_word(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

/// The top bit of each byte that is not zero. Adding 0x7F to the low seven
/// bits reaches the top bit unless they are all zero; or-ing the byte in
/// catches those whose own top bit is set. The exact form of the zero-byte
/// test (H. S. Warren, Hacker's Delight, section 6-1).
inline std::uint64_t nonzero_bytes(std::uint64_t word) {
  return (((word & kLowBits) + kLowBits) | word) & kTopBits;
}

/// The top bit of each byte that, taken as a character xor '0', is not a
/// digit: its low seven bits are 10 or more (adding 0x80 - 10 reaches the
/// top bit), or its top bit is set. Warren's "byte greater than" test.
inline std::uint64_t not_digit_bytes(std::uint64_t offsets) {
  return (((offsets & kLowBits) + kEachByte * (0x80 - 10)) | offsets) & kTopBits;
}

/// The value of eight digit values (characters xor '0'), the first digit in
/// the lowest byte: neighbours joined into pairs by one multiply-add, pairs
/// into fours and fours into the eight by two multiplications. The known
/// eight-digit trick (W. Muła and D. Lemire, "Quickly parsing eight digits",
/// 2018; fast_float's parse_eight_digits_unrolled).
inline std::uint64_t value_of_eight_digits(std::uint64_t digits) {
  // Each 16-bit lane: a pair, ten times its first digit plus its second.
  digits = (digits * 10) + (digits >> 8);
  // The pairs in lanes 0 and 2 weighted 10^6 and 10^2, those in lanes 1 and
  // 3 weighted 10^4 and 1: in each product the cross terms sum in the top
  // half.
  constexpr std::uint64_t kLanes02 = 100 + (std::uint64_t{1000000} << 32);
  constexpr std::uint64_t kLanes13 = 1 + (std::uint64_t{10000} << 32);
  digits = (((digits & 0x000000FF000000FF) * kLanes02) +
            (((digits >> 16) & 0x000000FF000000FF) * kLanes13)) >>
           32;
  return digits & 0xFFFFFFFF;
}

/// Digits as an integer, and the power of ten to divide them by.
struct ScaledDigits {
  std::uint64_t digits;    // below 10^8
  std::uint64_t exponent;  // 0 to 8
};

/// A plain decimal's digits and point (characters xor '0'), moved up to fill
/// the top bytes of the word with zeros below them, as an integer and a
/// power of ten. The point is closed by moving the digits after it down
/// over it, which leaves a zero in the top byte, so that the digits read
/// ten times their value: dividing by one more power of ten makes up for it.
///
/// Worked bytes, lowest first, for "12.5": 00 00 00 00 01 02 1E 05. Of a
/// digit (0 to 9) and the point ('.' xor '0' is 0x1E) only the point has
/// bit 4 set, so the point's byte is byte 6. Bytes 0 to 5 stay, byte 7 moves
/// down to byte 6: 00 00 00 00 01 02 05 00, the digits 00001250; the point's
/// byte and the one above it make the exponent 2: 1250 / 10^2.
[[gnu::always_inline]] inline ScaledDigits scaled_digits_of(std::uint64_t digits) {
  static_assert(('.' ^ '0') == 0x1E);
  const std::uint64_t point = (digits << 3) & kTopBits;
  const std::uint64_t below_point = (point >> 7) - 1;
  const std::uint64_t joined = (digits & below_point) | ((digits & -(point << 1)) >> 8);
  // One for the point's byte and each above it: their top bits, counted by
  // summing all bytes into the highest (a multiplication by kEachByte).
  return {value_of_eight_digits(joined), ((((~point + 1) & kTopBits) >> 7) * kEachByte) >> 56};
}

/// The magnitude of the plain decimal in the top bytes of `digits`. Eight
/// digits and a power of ten up to 1e8 are exact doubles, so the one
/// correctly rounded division gives the correctly rounded value.
[[gnu::always_inline]] inline double magnitude_of_top_digits(std::uint64_t digits) {
  const ScaledDigits scaled = scaled_digits_of(digits);
  return static_cast<double>(scaled.digits) / kExactPowersOfTen[scaled.exponent];
}

/// 1 when `c` is `wanted`, else 0, by arithmetic: a compare's flag moved
/// into a byte register keeps the register's old contents as an input, a
/// false dependence that chains the reading of each number to the one
/// before.
inline std::uint64_t one_if(char c, char wanted) {
  return ((static_cast<std::uint64_t>(static_cast<unsigned char>(c ^ wanted))) - 1) >> 63;
}

}  // namespace skewquad::digit_words
