// The classes of a quad line's characters as bit masks, one bit per
// character of the word window, from whichever kernel the target has.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/simd.h"

namespace skewquad {

// One bit per character of the window, bit i for character i.
__extension__ using WindowBits = unsigned __int128;

/// White space as the C library's isspace has it (blank, \t \n \v \f \r),
/// digits, points, minus signs and zeros (a reader that does not look at
/// the zeros has them dropped by the compiler).
struct CharacterClasses {
  WindowBits blanks = 0;
  WindowBits digits = 0;
  WindowBits points = 0;
  WindowBits minus_signs = 0;
  WindowBits zeros = 0;
};

/// The same for one half of the window.
struct HalfClasses {
  std::uint64_t blanks = 0;
  std::uint64_t digits = 0;
  std::uint64_t points = 0;
  std::uint64_t minus_signs = 0;
  std::uint64_t zeros = 0;
};

/// The window from its two halves.
inline WindowBits joined(std::uint64_t low, std::uint64_t high) {
  return (static_cast<WindowBits>(high) << 64) | low;
}

}  // namespace skewquad

// Each defines classify_window(p, size): the classes of the `size`
// characters from `p` (at least those; the bits for what lies past them are
// left to the caller), reading at most kQuadWordWindow bytes from `p`.
#if SKEWQUAD_USE_SSE2
#include "text/character_classes_sse2.h"
#else
#include "text/character_classes_swar.h"
#endif
