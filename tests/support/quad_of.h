// A quad line from its four corners, for the geometry tests.
#pragma once

#include "geometry/quad_line.h"

namespace skewquad {

/// A type-4 line in colour 16 with corners P1 to P4.
inline QuadLine quad_of(Vertex p1, Vertex p2, Vertex p3, Vertex p4) {
  QuadLine quad;
  quad.line_type = kQuadLineType;
  quad.colour = 16;
  quad.corners[0] = p1;
  quad.corners[1] = p2;
  quad.corners[2] = p3;
  quad.corners[3] = p4;
  return quad;
}

}  // namespace skewquad
