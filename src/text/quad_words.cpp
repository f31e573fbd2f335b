// The word locator: character classes of a quad line as bit masks (sixteen
// characters at a time with SSE2, eight in a word elsewhere), the word
// starts read off by table and every coordinate checked to be a plain
// decimal by carries through the masks.
#include "text/quad_words.h"

#include <array>
#include <cstring>

#include "text/character_classes.h"
#include "text/digit_words.h"

namespace skewquad {

namespace {

using digit_words::kEachByte;

// For each byte value, the positions of its set bits, lowest first, one
// per byte of the entry: 0b00100101 gives 00 02 05 (then zeros). Turning a
// mask into positions by table is the way of D. Lemire's "Really fast
// bitset decoding" (2019) and simdjson's index extraction, here a byte at a
// time so that no step waits on another.
constexpr auto kSetBitPositions = [] {
  std::array<std::uint64_t, 256> table{};
  for (unsigned value = 0; value < 256; ++value) {
    int count = 0;
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (((value >> bit) & 1) != 0) table[value] |= std::uint64_t{bit} << (8 * count++);
    }
  }
  return table;
}();

// Byte k of the result: the set bits in bytes 0 to k of `bits`. Each byte is
// counted in parallel, the population count of Hacker's Delight (section
// 5-1; a population count instruction is not part of every x86-64): bit
// pairs (0x55: every other bit), then nibbles (0x33), then bytes (0x0F);
// one multiplication by kEachByte then sums every byte into those above it.
std::uint64_t running_counts(std::uint64_t bits) {
  bits -= (bits >> 1) & 0x5555555555555555;
  bits = (bits & 0x3333333333333333) + ((bits >> 2) & 0x3333333333333333);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0F;
  return bits * kEachByte;
}

// Writes the positions of the bits in the first `bytes` bytes of `half`,
// offset by `base`, from positions[first] on: each byte of the mask by
// table, at the count of the bits below it. Nothing waits on the byte
// before, and no branch depends on where the bits lie, which changes from
// line to line.
template <int bytes>
[[gnu::always_inline]] inline void write_half_positions(std::uint64_t half, int base,
                                                        std::size_t first,
                                                        std::uint8_t* positions) {
  const std::uint64_t counts_below = running_counts(half) << 8;
#pragma GCC unroll 8
  for (int byte = 0; byte < bytes; ++byte) {
    const std::uint64_t entry = kSetBitPositions[(half >> (8 * byte)) & 0xFF] +
                                static_cast<std::uint64_t>(base + 8 * byte) * kEachByte;
    std::memcpy(positions + first + ((counts_below >> (8 * byte)) & 0xFF), &entry, sizeof entry);
  }
}

// Writes the positions of the set bits of `bits`, lowest first, into
// positions[0] on (garbage follows them) and returns how many there are.
// Bits from 96 on are looked at only for a line that reaches them.
[[gnu::always_inline]] inline int set_bit_positions(WindowBits bits, std::size_t size,
                                                    std::uint8_t (&positions)[kWordPositions]) {
  const auto low = static_cast<std::uint64_t>(bits);
  const auto high = static_cast<std::uint64_t>(bits >> 64);
  const auto in_low = static_cast<std::size_t>(running_counts(low) >> 56);
  write_half_positions<8>(low, 0, 0, positions);
  if (size > 96) {
    write_half_positions<8>(high, 64, in_low, positions);
  } else {
    write_half_positions<4>(high, 64, in_low, positions);
  }
  return static_cast<int>(in_low + (running_counts(high) >> 56));
}

}  // namespace

// Every mask has one bit per character, bit i for character i. Written
// lowest bit first, for the start of a line whose third word holds a second
// point:
//
//   text          4 _ 1 6 _ 1 . 2 . 3 _
//   blanks        0 1 0 0 1 0 0 0 0 0 1
//   starts        1 0 1 0 0 1 0 0 0 0 0   filled, after a blank or first
//   points        0 0 0 0 0 0 1 0 1 0 0
//   stops         0 1 0 0 1 0 1 0 1 0 1   blanks and points
//   ~stops + (points << 1)
//                 1 0 1 1 0 1 0 0 1 0 1   the bit added after the first point
//                                          carries through the 2 onto the
//                                          second point: a second point
//
// Faults are found the same way, by additions whose carries run through a
// word (the carry tricks of simdjson's stage 1, G. Langdale and D. Lemire).
//
// Not checked here:
// - the first two words, type and colour: only located; their own readers
//   read them and refuse what is not an integer;
// - what a plain decimal is worth: eight digits and a point always fit a
//   double, and the values are worked out later;
// - the bytes past the line's end: they read as white space here, and the
//   caller must leave kQuadLinePadding of them readable;
// - a '+' sign, an exponent, a ninth digit: not plain, so the line is
//   refused, and the number-by-number reader reads it as scanf would.
namespace {

// The masks of a located line that every check below starts from.
struct LineMasks {
  CharacterClasses classes;
  WindowBits blanks;  // past the line's end reads as white space
  WindowBits filled;
  WindowBits starts;
};

[[gnu::always_inline]] inline LineMasks masks_of(std::string_view line) {
  LineMasks masks;
  masks.classes = classify_window(line.data(), line.size());
  masks.blanks = masks.classes.blanks | (~WindowBits{0} << line.size());
  masks.filled = ~masks.blanks;
  masks.starts = masks.filled & ((masks.blanks << 1) | 1);
  return masks;
}

// A bit in every word that is not a plain decimal.
WindowBits plain_faults(const LineMasks& masks) {
  const CharacterClasses& classes = masks.classes;
  const WindowBits leading_minus = classes.minus_signs & masks.starts;
  // Anything but digits, points and a leading minus ('+' and exponents
  // included: the number-by-number reader sees to those).
  const WindowBits foreign = masks.filled & ~classes.digits & ~classes.points & ~leading_minus;
  // A point whose next stop (point or white space) is a point: the carry of
  // a bit added just after each point runs through the characters that
  // follow it and lands on that next stop.
  const WindowBits stops = masks.blanks | classes.points;
  const WindowBits second_points = (~stops + (classes.points << 1)) & classes.points;
  // A word of signs and points alone: the carry from its start runs through
  // them into the white space after it.
  const WindowBits digitless = masks.filled & ~classes.digits;
  const WindowBits digitless_ends = (digitless + (masks.starts & digitless)) & masks.blanks;
  // More than eight characters after the sign: nine filled in a row that do
  // not begin at a minus sign.
  WindowBits runs = masks.filled & (masks.filled >> 1);
  runs &= runs >> 2;
  runs &= runs >> 4;
  runs &= masks.filled >> 8;
  const WindowBits overlong = runs & ~leading_minus;
  return foreign | second_points | digitless_ends | overlong;
}

// A bit in every plain decimal written untidily. Each is sure only where
// the word is plain: a word with a second point or an exponent may be
// flagged or not. The classes past the line's end are those of whatever
// follows it, and are left out.
WindowBits untidy_numbers(const LineMasks& masks) {
  const CharacterClasses& classes = masks.classes;
  // The carry of each point runs through the rest of its word into the
  // white space after it: that end then marks a word with a fraction.
  const WindowBits fraction_ends = (masks.filled + classes.points) & masks.blanks;
  const WindowBits trailing_zeros = classes.zeros & (fraction_ends >> 1);
  const WindowBits leading_minus = classes.minus_signs & masks.starts;
  const WindowBits first_characters = (masks.starts & ~leading_minus) | (leading_minus << 1);
  const WindowBits leading_zeros = classes.zeros & first_characters & (classes.digits >> 1);
  // A point followed by six digits in a row.
  const WindowBits two_digits = classes.digits & (classes.digits >> 1);
  const WindowBits four_digits = two_digits & (two_digits >> 2);
  const WindowBits six_digits = four_digits & (two_digits >> 4);
  const WindowBits long_fractions = classes.points & (six_digits >> 1);
  return (trailing_zeros | leading_zeros | long_fractions) & masks.filled;
}

}  // namespace

int locate_quad_words(std::string_view line, QuadWords& words) {
  if (line.size() >= kQuadWordWindow) return 0;
  const LineMasks masks = masks_of(line);
  const int count = set_bit_positions(masks.starts, line.size(), words.start);
  if (count < kQuadWords) return 0;
  // Every fault is found at once, as a bit from the first coordinate on.
  return (plain_faults(masks) & (~WindowBits{0} << words.start[2])) == 0 ? count : 0;
}

int locate_tidy_words(std::string_view line, int numbers_end, QuadWords& words) {
  if (line.size() >= kQuadWordWindow) return 0;
  const LineMasks masks = masks_of(line);
  const int count = set_bit_positions(masks.starts, line.size(), words.start);
  if (count < numbers_end) return 0;
  const WindowBits all = ~WindowBits{0};
  WindowBits numbers = all << words.start[2];
  if (count > numbers_end) numbers &= ~(all << words.start[numbers_end]);
  return ((plain_faults(masks) | untidy_numbers(masks)) & numbers) == 0 ? count : 0;
}

}  // namespace skewquad
