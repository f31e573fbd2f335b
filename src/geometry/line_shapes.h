// The geometry checks of the other drawing lines: a triangle's corners, a
// sub-file's placement matrix.
#pragma once

#include <cstdint>

#include "geometry/vertex.h"

namespace skewquad {

/// What is wrong with a triangle, the first fault found in this order.
enum class TriangleFault : std::uint8_t {
  kNone,
  kIdenticalCorners,  // two of its corners are equal
  kCollinearCorners,  // a corner straight or folded back, as a quad's
};

TriangleFault triangle_fault(const Vertex& a, const Vertex& b, const Vertex& c);

/// True when the placement whose 3x3 part is `m` (a b c d e f g h i, row by
/// row; the position and the last row 0 0 0 1 cannot change it) has no
/// inverse: its determinant is exactly zero.
bool is_singular(const double (&m)[9]);

}  // namespace skewquad
