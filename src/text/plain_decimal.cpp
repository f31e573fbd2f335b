// The fast path for the numbers of a located quad line: plain decimals
// packed one to a word and valued two at a time in vector lanes.
#include "text/plain_decimal.h"

#include <bit>

#include "text/decimal_lanes.h"
#include "text/digit_words.h"
#include "text/scanf_numbers.h"

namespace skewquad {

using namespace digit_words;

bool read_digits_word(const char* text, std::int32_t& value) {
  const std::uint64_t offsets = load_word(text) ^ (kEachByte * '0');
  const int length = std::countr_zero(not_digit_bytes(offsets)) / 8;
  if (length == 0 || !is_scan_space(text[length])) return false;
  value = static_cast<std::int32_t>(value_of_eight_digits(offsets << ((8 * (8 - length)) & 63)));
  return true;
}

void plain_decimals_at(const char* line, const std::uint8_t* starts, int count,
                       PlainDecimal* numbers) {
  for (int i = 0; i < count; ++i) {
    const char* const text = line + starts[i];
    const std::uint64_t negative = one_if(text[0], '-');
    const std::uint64_t word = load_word(text + negative);
    // The first byte below '-' ends the characters: adding 0x80 - '-' (0x53)
    // lifts every byte from '-' up into its top bit, so the end is the first
    // byte whose top bit the sum leaves clear. Digits and points carry into
    // no byte above them, and whatever follows the end cannot reach down to
    // it.
    const std::uint64_t below_minus = ~(word + kEachByte * (0x80 - '-')) & kTopBits;
    // That flag moved to the byte before it (to the top byte for eight
    // characters) gives the shift that moves the characters to the top.
    const int shift = 63 - std::countr_zero((below_minus >> 8) | (std::uint64_t{1} << 63));
    numbers[i] = {((word ^ (kEachByte * '0')) << shift) | (negative << 7)};
  }
}

void values_of(const PlainDecimal* numbers, int count, double* values) {
  constexpr std::uint64_t kMinusBit = 0x80;
  // The divisions are the dearest step: in lanes where the target has them.
  for (int i = values_in_lanes(numbers, count, values); i < count; ++i) {
    const std::uint64_t word = numbers[i].word;
    values[i] = std::bit_cast<double>(
        std::bit_cast<std::uint64_t>(magnitude_of_top_digits(word & ~kMinusBit)) |
        (word & kMinusBit) << 56);
  }
}

}  // namespace skewquad
