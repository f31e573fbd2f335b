#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace skewquad {

// Line type, colour and the twelve coordinates.
inline constexpr int kQuadWords = 14;

// Lines shorter than this are located all at once.
inline constexpr std::size_t kWordWindow = 128;

// Bytes, of any value, that must be readable after a line given to
// locate_quad_words: the window and one word more.
inline constexpr std::size_t kWordPadding = kWordWindow + 8;

// Room for the start of every word of the window, and a word more.
inline constexpr std::size_t kWordPositions = kWordWindow + 8;

// Where the first fourteen words of a line (runs of characters other than
// white space) start, as offsets into the line. What follows them is room
// the locator writes in.
struct QuadWords {
  std::uint8_t start[kWordPositions];
};

// Locates the first fourteen words of `line` all at once, from the classes
// of its characters, and checks that every word from the third to the end
// of the line is a plain decimal (see PlainDecimal). Returns false when the
// line is not shorter than the window, has fewer words or holds anything
// else from the third word on: it must then be read number by number.
bool locate_quad_words(std::string_view line, QuadWords& words);

}  // namespace skewquad
