// The shape checks parts certification applies to a quad before its warp:
// corners apart, no corner straight or folded back, convex.
#pragma once

#include <cstdint>

#include "geometry/quad_line.h"

namespace skewquad {

/// What is wrong with a quad's shape, the first fault found in this order.
enum class ShapeFault : std::uint8_t {
  kNone,
  kIdenticalCorners,  // two of the four corners are equal
  kCollinearCorners,  // at some corner the edges lie in one line
  kNotConvex,         // concave, or crossing itself (a bow-tie)
};

/// Angles in degrees at a corner beyond which its edges count as in line:
/// above the first (nearly straight on) or below the second (folded back).
inline constexpr double kStraightCornerAngle = 179.9;
inline constexpr double kFoldedCornerAngle = 0.025;

/// What the edges at a corner make.
enum class CornerShape : std::uint8_t {
  kOpen,
  kStraight,  // the angle between them above kStraightCornerAngle
  kFolded,    // the angle between them below kFoldedCornerAngle
};

/// The shape of a corner whose edges run along `back` and `ahead` (neither
/// of length zero).
CornerShape shape_between(const Vertex& back, const Vertex& ahead);

/// The shape of corner `corner` (0 for P1 to 3 for P4) of a quad whose
/// corners are apart.
CornerShape corner_shape(const QuadLine& quad, int corner);

/// The one reflex corner of a concave quad (0 for P1 to 3 for P4): the only
/// corner that turns against the quad's vector area, the other three
/// turning with it. -1 for a quad with none (convex), more than one (a
/// bow-tie), or a corner that does not turn.
int reflex_corner(const QuadLine& quad);

/// The first fault of the quad's shape: identical corners (any of the six
/// pairs, compared exactly), then collinear corners (the angle between the
/// two edges at a corner, in degrees, above kStraightCornerAngle or below
/// kFoldedCornerAngle), then a quad that is not convex.
ShapeFault shape_fault(const QuadLine& quad);

}  // namespace skewquad
