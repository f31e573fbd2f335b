// The word locator: where the fourteen words of a quad line start, found
// all at once from the classes of its characters.
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
/// of the line is a plain decimal (see PlainDecimal). Returns false when
/// the line is not shorter than kQuadWordWindow, has fewer words or holds
/// anything else from the third word on: it must then be read number by
/// number. kQuadLinePadding bytes, of any value, must be readable after the
/// line.
bool locate_quad_words(std::string_view line, QuadWords& words);

}  // namespace skewquad
