// The checks of every drawing line beyond the quads': the count of its
// numbers, its colour, its geometry and how its numbers are written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/finding.h"
#include "text/quad_words.h"

namespace skewquad {

/// The groups of checks a scan makes.
struct CheckGroups {
  bool quads = true;     // invalid quad lines, shapes and warp
  bool lines = false;    // count and geometry of types 1, 2, 3 and 5
  bool numbers = false;  // decimals, trailing and leading zeros
  bool colours = false;  // unknown colours, colour 24, the edge colour
  bool file = false;     // a part file's header, metas and name, as a whole

  bool beyond_quads() const { return lines || numbers || colours; }
};

/// The colour codes a library defines.
class ColourTable {
 public:
  void add(std::int32_t code);
  bool has(std::int32_t code) const;

 private:
  std::vector<std::int32_t> codes_;  // sorted
};

/// What the line checks go by.
struct LineRules {
  CheckGroups groups;
  const ColourTable* colours = nullptr;  // none: unknown colours are not looked for
};

/// A fault the line checks found: which check, and the words at fault.
/// Left unset until found: a line's room for them is made on every line.
struct LineFault {
  CheckId check;
  const char* text_start;
  std::size_t text_size;
  std::string_view text() const { return {text_start, text_size}; }
};

/// What the line checks found of a line.
struct LineVerdict {
  static constexpr int kMostFaults = 8;
  LineFault found[kMostFaults];  // NOLINT: filled up to `faults`
  int faults = 0;
  bool settled = false;         // a quad that is not to be judged further: in colour 24
  bool draws_nothing = false;   // a line or triangle whose points are the same
  bool needless_zeros = false;  // a number with a trailing or leading needless zero
  bool quad_located = false;    // a quad whose words were located, and kept
};

/// Checks the line `line` of type `type` (1 to 5) by the groups of `rules`
/// and gathers its faults: the count of numbers first (an invalid line has
/// nothing else looked at), then the colour, the geometry, and the first
/// number of each faulty form. A quad's count and geometry are its judge's;
/// only its colour 24 comes before them, and settles it.
/// kQuadLinePadding bytes, of any value, must be readable after `line`: a
/// line is read from its located words where it lies when it can be. A
/// quad's words, when located, are kept in `quad_words` if given.
LineVerdict check_line(std::string_view line, int type, const LineRules& rules,
                       QuadWords* quad_words = nullptr);

/// Appends `piece` with every needless zero of the numbers of the line
/// `line` (a part of `piece`, of type `type`) dropped, each number the same
/// and every other byte as it was. Returns how many numbers lost zeros, and
/// sets `first` to the first of them as it was written.
int append_without_needless_zeros(std::string& out, std::string_view piece, std::string_view line,
                                  int type, std::string_view& first);

/// The geometry line inside a texture-map line ("0 !: 3 16 ..."), or an
/// empty view for any other line.
std::string_view texture_map_geometry(std::string_view line);

}  // namespace skewquad
