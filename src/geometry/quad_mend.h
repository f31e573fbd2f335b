// Mending a faulty quad: the triangles that draw exactly its surface, where
// which ones is not the author's call.
#pragma once

#include <cstdint>

#include "geometry/quad_line.h"
#include "geometry/quad_shape.h"

namespace skewquad {

/// What a faulty quad's line can be replaced by.
struct ShapeMend {
  enum class Kind : std::uint8_t {
    kNone,      // left to the author
    kSplit,     // two triangles along a diagonal
    kTriangle,  // the triangle of the three corners other than `corner`
  };
  Kind kind = Kind::kNone;
  bool along_13 = false;  // kSplit: along P1-P3, otherwise P2-P4
  int corner = 0;         // kTriangle: the corner left out, 0 for P1 to 3 for P4
};

/// The mend of a quad with this shape fault:
/// - identical corners, when exactly one pair is equal and it is a pair of
///   neighbours: the triangle of the three distinct corners;
/// - collinear corners, when exactly one corner is straight (it lies on the
///   segment between its neighbours) and none folded back: the triangle of
///   the other three;
/// - not convex, when concave (one reflex corner): the two triangles along
///   the diagonal through the reflex corner, whose union is the quad;
/// - anything else (a bow-tie, a corner folded back, two faults): none;
/// and none either when a triangle of the mend would itself have identical
/// or collinear corners (a quad with more than one degenerate corner).
ShapeMend shape_mend(const QuadLine& quad, ShapeFault fault);

}  // namespace skewquad
