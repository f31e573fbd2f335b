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

/// What the line checks found of a line.
struct LineVerdict {
  bool settled = false;        // a quad that is not to be judged further: in colour 24
  int faults = 0;              // findings handed to the sink
  int mended = 0;              // of them, those mended
  bool rewrite_zeros = false;  // mending: its numbers are to lose their needless zeros
  bool remove = false;         // mending: the line draws nothing and is to go
  bool quad_located = false;   // a quad whose words were located, and kept
};

/// What a mending run does to the lines it can mend exactly.
struct LineMending {
  bool zeros = false;              // drop needless zeros (the same numbers)
  bool removal = false;            // remove a line or triangle with identical points
  std::string_view without_zeros;  // the whole line with its needless zeros dropped
};

/// Checks the line `line` of type `type` (1 to 5), the `line_number`th, by
/// the groups of `rules`, and hands each fault found to `sink`: the count
/// of numbers first (an invalid line has nothing else looked at), then the
/// colour, the geometry, and the first number of each faulty form. A
/// quad's count and geometry are its judge's; only its colour 24 comes
/// before them, and settles it.
/// Mending, the faults `mending` says are handed over as mended and the
/// verdict says what is to be done. kQuadLinePadding bytes, of any value,
/// must be readable after `line`: a line is read from its located words
/// where it lies when it can be. A quad's words, when located, are kept in
/// `quad_words` if given.
LineVerdict check_line(std::string_view line, int type, long long line_number,
                       const LineRules& rules, FindingSink& sink, LineMending mending = {},
                       QuadWords* quad_words = nullptr);

/// Appends `piece` with every needless zero of the numbers of the line
/// `line` (a part of `piece`, of type `type`) dropped, each number the same
/// and every other byte as it was.
void append_without_needless_zeros(std::string& out, std::string_view piece, std::string_view line,
                                   int type);

/// The geometry line inside a texture-map line ("0 !: 3 16 ..."), or an
/// empty view for any other line.
std::string_view texture_map_geometry(std::string_view line);

}  // namespace skewquad
