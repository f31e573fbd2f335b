// A point in LDraw units, and the vectors built from points.
#pragma once

namespace skewquad {

/// A point in LDraw units; also an edge or normal vector built from corners.
struct Vertex {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

}  // namespace skewquad
