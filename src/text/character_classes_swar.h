// Portable kernel: the character classes of a quad line eight at a time in
// a 64-bit word (SWAR), for targets without SSE2 and builds that ask for no
// vector code. Included by character_classes.h only; it gives the same masks
// as the SSE2 kernel.
#pragma once

#include "text/digit_words.h"

namespace skewquad {
namespace swar {

using digit_words::kEachByte;
using digit_words::kLowBits;
using digit_words::kTopBits;

// Byte i's top bit moved to bit i: every product term of the multiplication
// lands in its own bit, those of the diagonal in the top byte, and nothing
// carries (the known SWAR stand-in for a movemask instruction).
[[gnu::always_inline]] inline std::uint64_t byte_flags(std::uint64_t top_bits) {
  constexpr std::uint64_t kGather = 0x0002040810204081;  // bits 0, 7, 14, ... 49
  return (top_bits * kGather) >> 56;
}

// The top bit of each byte equal to `c`, by the exact zero-byte test of the
// byte xor `c` (digit_words::nonzero_bytes).
[[gnu::always_inline]] inline std::uint64_t bytes_equal(std::uint64_t word, char c) {
  const std::uint64_t offsets = word ^ (kEachByte * static_cast<unsigned char>(c));
  return ~(((offsets & kLowBits) + kLowBits) | offsets) & kTopBits;
}

// Adds the classes of the 8 characters of `word`, as bits from `shift` on.
[[gnu::always_inline]] inline void classify_word(std::uint64_t word, int shift,
                                                 HalfClasses& classes) {
  const std::uint64_t low_seven = word & kLowBits;
  const std::uint64_t below_0x80 = ~word & kTopBits;
  // The top bit of each byte from `value` (below 0x80) up to 0x7F: its low
  // seven bits plus 0x80 - value reach the top bit exactly then.
  const auto at_least = [&](unsigned value) {
    return (low_seven + kEachByte * (0x80 - value)) & below_0x80;
  };
  const std::uint64_t blank = bytes_equal(word, ' ') | (at_least('\t') & ~at_least('\r' + 1));
  const std::uint64_t digit = at_least('0') & ~at_least('9' + 1);
  classes.blanks |= byte_flags(blank) << shift;
  classes.digits |= byte_flags(digit) << shift;
  classes.points |= byte_flags(bytes_equal(word, '.')) << shift;
  classes.minus_signs |= byte_flags(bytes_equal(word, '-')) << shift;
  classes.zeros |= byte_flags(bytes_equal(word, '0')) << shift;
}

}  // namespace swar

[[gnu::always_inline]] inline CharacterClasses classify_window(const char* p, std::size_t size) {
  HalfClasses halves[2];
  // Only the words that hold the line: most quad lines fill under ten.
  for (std::size_t at = 0; at < size; at += 8) {
    swar::classify_word(digit_words::load_word(p + at), static_cast<int>(at % 64), halves[at / 64]);
  }
  return {joined(halves[0].blanks, halves[1].blanks), joined(halves[0].digits, halves[1].digits),
          joined(halves[0].points, halves[1].points),
          joined(halves[0].minus_signs, halves[1].minus_signs),
          joined(halves[0].zeros, halves[1].zeros)};
}

}  // namespace skewquad
