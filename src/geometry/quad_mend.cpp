// Mending a faulty quad by triangles.
#include "geometry/quad_mend.h"

namespace skewquad {
namespace {

ShapeMend identical_corners_mend(const QuadLine& quad) {
  int pairs = 0;
  int second_of_pair = -1;
  for (int a = 0; a < 4; ++a) {
    for (int b = a + 1; b < 4; ++b) {
      if (!(quad.corners[a] == quad.corners[b])) continue;
      ++pairs;
      // Neighbours are a and a + 1, or P4 and P1.
      if (b == a + 1) second_of_pair = b;
      if (a == 0 && b == 3) second_of_pair = 0;
    }
  }
  if (pairs != 1 || second_of_pair < 0) return {};
  return {ShapeMend::Kind::kTriangle, false, second_of_pair};
}

ShapeMend collinear_corners_mend(const QuadLine& quad) {
  int straight = -1;
  for (int corner = 0; corner < 4; ++corner) {
    switch (corner_shape(quad, corner)) {
      case CornerShape::kOpen:
        break;
      case CornerShape::kStraight:
        if (straight >= 0) return {};
        straight = corner;
        break;
      case CornerShape::kFolded:
        return {};
    }
  }
  if (straight < 0) return {};
  return {ShapeMend::Kind::kTriangle, false, straight};
}

}  // namespace

ShapeMend shape_mend(const QuadLine& quad, ShapeFault fault) {
  switch (fault) {
    case ShapeFault::kIdenticalCorners:
      return identical_corners_mend(quad);
    case ShapeFault::kCollinearCorners:
      return collinear_corners_mend(quad);
    case ShapeFault::kNotConvex: {
      const int reflex = reflex_corner(quad);
      if (reflex < 0) return {};
      return {ShapeMend::Kind::kSplit, reflex % 2 == 0, 0};
    }
    case ShapeFault::kNone:
      break;
  }
  return {};
}

}  // namespace skewquad
