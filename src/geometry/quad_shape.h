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

/// The first fault of the quad's shape: identical corners (any of the six
/// pairs, compared exactly), then collinear corners (the angle between the
/// two edges at a corner, in degrees, above kStraightCornerAngle or below
/// kFoldedCornerAngle), then a quad that is not convex.
ShapeFault shape_fault(const QuadLine& quad);

}  // namespace skewquad
