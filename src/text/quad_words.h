// The word locator: where the words of a drawing line start, found all at
// once from the classes of its characters.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/read_ahead.h"

namespace skewquad {

/// Line type, colour and the twelve coordinates.
inline constexpr int kQuadWords = 14;

/// Where the first fourteen words of a line (runs of characters other than
/// white space) start, as offsets into the line. What follows them is room
/// the locator writes in.
struct QuadWords {
  std::uint8_t start[kWordPositions];
};

/// Locates the first fourteen words of `line` all at once, from the classes
/// of its characters, and checks that every word from the third to the end
/// of the line is a plain decimal (see PlainDecimal). Returns how many
/// words the line holds, or 0 when the line is not shorter than
/// kQuadWordWindow, has fewer than fourteen words or holds anything else
/// from the third word on: it must then be read number by number.
/// kQuadLinePadding bytes, of any value, must be readable after the line.
int locate_quad_words(std::string_view line, QuadWords& words);

/// Locates the words of `line` as locate_quad_words does, and checks that
/// the words from the third up to the `numbers_end`th are plain decimals
/// written tidily: no needless leading zero (01.5), no fraction ending in 0
/// (1.50) and at most five digits after the point. Returns how many words
/// the line holds, or 0 when the line is not shorter than kQuadWordWindow,
/// has fewer than `numbers_end` words, or any of those words is not plain
/// and tidy: it must then be read word by word. kQuadLinePadding bytes, of
/// any value, must be readable after the line.
int locate_tidy_words(std::string_view line, int numbers_end, QuadWords& words);

}  // namespace skewquad
