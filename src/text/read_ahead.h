// How far each reader of text may read past the text it is given, stated
// once: the readers load whole words and vectors, so every promise about
// the bytes after a piece of text lives here, each derived from the ones it
// serves, with the checks that tie them together.
#pragma once

#include <algorithm>
#include <cstddef>

namespace skewquad {

// A word of text loaded at once: eight characters, the first in the lowest
// byte.
inline constexpr std::size_t kWordBytes = 8;

// The longest piece of a line, counted as a text-mode reader counts: a
// carriage return directly followed by a line feed is one character. A
// piece therefore holds at most one byte more.
inline constexpr std::size_t kPieceCharacters = 1023;
inline constexpr std::size_t kLongestPieceBytes = kPieceCharacters + 1;

// The line reader looks for a line feed among this many bytes from a
// piece's start at once; nearly every line is shorter.
inline constexpr std::size_t kLineFeedWindow = 128;

// The word locator classifies this many bytes from a quad line's start at
// once; only lines shorter than it are located that way.
inline constexpr std::size_t kQuadWordWindow = 128;

// From a word's start a reader loads a word and looks at the byte after it:
// the type and colour readers (eight digits, then white space), and the
// plain decimal reader (a minus sign, then eight characters).
inline constexpr std::size_t kWordReach = kWordBytes + 1;

// Bytes, of any value, that must be readable after a quad line read where
// it lies: the word window classified from a line of one byte reaches
// kQuadWordWindow - 1 past its end, and a word starting at its last byte
// reaches kWordBytes past it.
inline constexpr std::size_t kQuadLinePadding = kQuadWordWindow + kWordBytes;

// Room for the position of every word start in the window: each byte of the
// start mask writes a whole word of positions after the ones before it, so
// the last of them may run kWordBytes past the window.
inline constexpr std::size_t kWordPositions = kQuadWordWindow + kWordBytes;

// Bytes the line reader keeps readable after every piece it gives, enough
// for both windows, so that quad lines are read where the reader left them.
inline constexpr std::size_t kReadableAfterPiece = std::max(kLineFeedWindow, kQuadLinePadding);

static_assert(kReadableAfterPiece >= kLineFeedWindow,
              "a line feed window may start at the last piece's last byte");
static_assert(kReadableAfterPiece >= kQuadLinePadding,
              "quad lines are read where the reader left them");
static_assert(kQuadLinePadding >= kQuadWordWindow - 1 && kQuadLinePadding >= kWordReach - 1,
              "the word window and a word read from the last byte stay in the padding");
static_assert(kQuadWordWindow <= 256, "word positions are stored in single bytes");

}  // namespace skewquad
