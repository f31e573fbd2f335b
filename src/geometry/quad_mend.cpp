// Mending a faulty quad by triangles.
#include "geometry/quad_mend.h"

#include "geometry/line_shapes.h"

namespace skewquad {
namespace {

// Whether every triangle of the mend is a sound one: a quad with a second
// degenerate corner would become a triangle as faulty as it was.
bool draws_sound_triangles(const QuadLine& quad, const ShapeMend& mend) {
  const Vertex* p = quad.corners;
  switch (mend.kind) {
    case ShapeMend::Kind::kTriangle: {
      const Vertex* kept[3];
      int count = 0;
      for (int corner = 0; corner < 4; ++corner) {
        if (corner != mend.corner) kept[count++] = &p[corner];
      }
      return triangle_fault(*kept[0], *kept[1], *kept[2]) == TriangleFault::kNone;
    }
    case ShapeMend::Kind::kSplit:
      return mend.along_13 ? triangle_fault(p[0], p[1], p[2]) == TriangleFault::kNone &&
                                 triangle_fault(p[0], p[2], p[3]) == TriangleFault::kNone
                           : triangle_fault(p[0], p[1], p[3]) == TriangleFault::kNone &&
                                 triangle_fault(p[1], p[2], p[3]) == TriangleFault::kNone;
    case ShapeMend::Kind::kNone:
      break;
  }
  return false;
}

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
  ShapeMend mend;
  switch (fault) {
    case ShapeFault::kIdenticalCorners:
      mend = identical_corners_mend(quad);
      break;
    case ShapeFault::kCollinearCorners:
      mend = collinear_corners_mend(quad);
      break;
    case ShapeFault::kNotConvex:
      if (const int reflex = reflex_corner(quad); reflex >= 0) {
        mend = {ShapeMend::Kind::kSplit, reflex % 2 == 0, 0};
      }
      break;
    case ShapeFault::kNone:
      break;
  }
  return draws_sound_triangles(quad, mend) ? mend : ShapeMend{};
}

}  // namespace skewquad
