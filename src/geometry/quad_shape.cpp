// The shape checks: identical corners, corners in line, convexity.
#include "geometry/quad_shape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skewquad {
namespace {

// Cosines well inside the range where a corner is neither straight nor
// folded back: the arccosine is needed only outside it. The margin is far
// wider than the few units in the last place the cosine and the arccosine
// can err by.
const double kCosineNearlyFolded = std::cos(kFoldedCornerAngle * std::numbers::pi / 180.0) - 1e-9;
const double kCosineNearlyStraight =
    std::cos(kStraightCornerAngle * std::numbers::pi / 180.0) + 1e-9;

// The edges at a corner, towards the corners before and after it.
struct CornerEdges {
  Vertex back;
  Vertex ahead;
};

CornerEdges edges_at(const QuadLine& quad, int corner) {
  const Vertex& at = quad.corners[corner];
  return {minus(quad.corners[(corner + 3) % 4], at), minus(quad.corners[(corner + 1) % 4], at)};
}

}  // namespace

CornerShape corner_shape(const QuadLine& quad, int corner) {
  const auto [back, ahead] = edges_at(quad, corner);
  return shape_between(back, ahead);
}

CornerShape shape_between(const Vertex& back, const Vertex& ahead) {
  // The arccosine of the edges' normalised dot product, in degrees and
  // clamped to 0 to 180.
  const double cosine =
      dot(back, ahead) / (std::sqrt(dot(back, back)) * std::sqrt(dot(ahead, ahead)));
  if (cosine < kCosineNearlyFolded && cosine > kCosineNearlyStraight) return CornerShape::kOpen;
  const double angle = std::acos(std::clamp(cosine, -1.0, 1.0)) * (180.0 / std::numbers::pi);
  if (angle > kStraightCornerAngle) return CornerShape::kStraight;
  if (angle < kFoldedCornerAngle) return CornerShape::kFolded;
  return CornerShape::kOpen;
}

int reflex_corner(const QuadLine& quad) {
  const Vertex& p1 = quad.corners[0];
  const Vertex& p2 = quad.corners[1];
  const Vertex& p3 = quad.corners[2];
  const Vertex& p4 = quad.corners[3];
  // The quad's vector area: each corner turns along it, but a reflex one.
  const Vertex area = cross(minus(p3, p1), minus(p4, p2));
  int reflex = -1;
  for (int corner = 0; corner < 4; ++corner) {
    const auto [back, ahead] = edges_at(quad, corner);
    const double turn = dot(cross(ahead, back), area);
    if (turn > 0) continue;
    if (turn < 0 && reflex < 0) {
      reflex = corner;
      continue;
    }
    return -1;
  }
  return reflex;
}

ShapeFault shape_fault(const QuadLine& quad) {
  const Vertex& p1 = quad.corners[0];
  const Vertex& p2 = quad.corners[1];
  const Vertex& p3 = quad.corners[2];
  const Vertex& p4 = quad.corners[3];
  if (p1 == p2 || p1 == p3 || p1 == p4 || p2 == p3 || p2 == p4 || p3 == p4) {
    return ShapeFault::kIdenticalCorners;
  }
  for (int corner = 0; corner < 4; ++corner) {
    if (corner_shape(quad, corner) != CornerShape::kOpen) return ShapeFault::kCollinearCorners;
  }
  // Three signs, each of a dot product of two cross products: the quad is
  // convex exactly when the first holds and the other two agree.
  const bool a = dot(cross(minus(p2, p1), minus(p3, p1)), cross(minus(p3, p1), minus(p4, p1))) > 0;
  const bool b = dot(cross(minus(p3, p2), minus(p2, p1)), cross(minus(p2, p1), minus(p4, p2))) > 0;
  const bool c = -dot(cross(minus(p3, p1), minus(p3, p2)), cross(minus(p3, p2), minus(p4, p3))) > 0;
  return a && b == c ? ShapeFault::kNone : ShapeFault::kNotConvex;
}

}  // namespace skewquad
