// What the check core finds in a file, and the sink it hands each finding
// to: the core never prints, each front end and output format gives a sink.
#pragma once

#include <cstdint>
#include <string_view>

#include "check/quad_fate.h"

namespace skewquad {

/// A fault of a line found by the checks beyond the quads': its number
/// of values, its colour, its geometry, the form of its numbers.
enum class LineFault : std::uint8_t {
  kNone,           // a quad's finding: its fate says what
  kInvalid,        // not its type's count of numbers (and a name, for type 1)
  kUnknownColour,  // neither a direct colour nor one the library defines
  kColour24,       // the edge colour on a sub-file, triangle or quad
  kEdgeColour,     // a line or conditional line not in the edge colour
  kIdentical,      // two points that must differ are the same
  kCollinear,      // a triangle's corner straight or folded back
  kSingular,       // a sub-file's placement has no inverse
  kDecimals,       // a number with six or more digits after the point
  kTrailingZeros,  // a fraction that ends in 0
  kLeadingZeros,   // a needless 0 before the first digit
};

/// A line the loop reports: where it stands and what is wrong. A quad's
/// finding has its fate and, for a warped quad, its angle; another
/// finding has its fault, its line's type and the words at fault.
struct Finding {
  long long line_number = 0;
  QuadFate fate = QuadFate::kNoBand;
  double angle = 0.0;
  bool mended = false;  // replaced in the file by its mend
  LineFault fault = LineFault::kNone;
  int line_type = 4;
  std::string_view text;  // the number or colour at fault, valid while the sink is told
  std::string_view line;  // the line (or texture-map geometry) at fault, as read
  // What a mending run replaces the line by (empty: removes it), when mended.
  std::string_view replacement;
};

/// A quad's finding.
inline Finding quad_finding(long long line_number, QuadFate fate, double angle, bool mended = false,
                            std::string_view line = {}, std::string_view replacement = {}) {
  Finding finding;
  finding.line_number = line_number;
  finding.fate = fate;
  finding.angle = angle;
  finding.mended = mended;
  finding.line = line;
  finding.replacement = replacement;
  return finding;
}

/// Told of every faulty quad line and every quad above the warning angle,
/// in line order, as the loop reads them.
class FindingSink {
 public:
  virtual void take(const Finding& finding) = 0;

 protected:
  FindingSink() = default;
  FindingSink(const FindingSink&) = default;
  FindingSink& operator=(const FindingSink&) = default;
  ~FindingSink() = default;
};

}  // namespace skewquad
