// Triangle and matrix checks.
#include "geometry/line_shapes.h"

#include "geometry/quad_shape.h"

namespace skewquad {

TriangleFault triangle_fault(const Vertex& a, const Vertex& b, const Vertex& c) {
  if (a == b || b == c || a == c) return TriangleFault::kIdenticalCorners;
  const Vertex corners[3] = {a, b, c};
  for (int corner = 0; corner < 3; ++corner) {
    const Vertex& at = corners[corner];
    if (shape_between(minus(corners[(corner + 2) % 3], at), minus(corners[(corner + 1) % 3], at)) !=
        CornerShape::kOpen) {
      return TriangleFault::kCollinearCorners;
    }
  }
  return TriangleFault::kNone;
}

bool is_singular(const double (&m)[9]) {
  // Expanded along the first row.
  const double determinant = m[0] * (m[4] * m[8] - m[5] * m[7]) -
                             m[1] * (m[3] * m[8] - m[5] * m[6]) +
                             m[2] * (m[3] * m[7] - m[4] * m[6]);
  return determinant == 0.0;
}

}  // namespace skewquad
