// The shape checks on hand-made quads at each check's edges.
#include "geometry/quad_shape.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "quad_of.h"

namespace skewquad {
namespace {

// P1 (0,0,0), P2 (10,0,0), then P3 so that the corner at P2 has `degrees`
// between its edges, at `reach` from P2, and P4 (0,10,0).
QuadLine corner_at_p2(double degrees, double reach) {
  const double radians = degrees * std::numbers::pi / 180.0;
  return quad_of({0, 0, 0}, {10, 0, 0},
                 {10 - reach * std::cos(radians), reach * std::sin(radians), 0}, {0, 10, 0});
}

TEST(ShapeFault, FindsIdenticalCornersInEveryPair) {
  for (int first = 0; first < 4; ++first) {
    for (int second = first + 1; second < 4; ++second) {
      QuadLine quad = quad_of({0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0});
      quad.corners[second] = quad.corners[first];
      EXPECT_EQ(shape_fault(quad), ShapeFault::kIdenticalCorners) << first << second;
    }
  }
  // Compared exactly: -0 is 0, and a hair apart is apart.
  EXPECT_EQ(shape_fault(quad_of({0, 0, 0}, {-0.0, 0, 0}, {10, 10, 0}, {0, 10, 0})),
            ShapeFault::kIdenticalCorners);
  EXPECT_NE(shape_fault(quad_of({0, 0, 0}, {1e-300, 0, 0}, {10, 10, 0}, {0, 10, 0})),
            ShapeFault::kIdenticalCorners);
}

TEST(ShapeFault, FindsCornersInLineJustBeyondEitherLimit) {
  EXPECT_EQ(shape_fault(corner_at_p2(179.9 + 1e-6, 10)), ShapeFault::kCollinearCorners);
  EXPECT_EQ(shape_fault(corner_at_p2(179.9 - 1e-6, 10)), ShapeFault::kNone);
  EXPECT_EQ(shape_fault(corner_at_p2(180, 10)), ShapeFault::kCollinearCorners);
  // Folded back: P3 on the way back to P1.
  EXPECT_EQ(shape_fault(corner_at_p2(0.025 - 1e-6, 5)), ShapeFault::kCollinearCorners);
  EXPECT_EQ(shape_fault(corner_at_p2(0.025 + 1e-6, 5)), ShapeFault::kNotConvex);
  EXPECT_EQ(shape_fault(corner_at_p2(0, 5)), ShapeFault::kCollinearCorners);
}

TEST(ShapeFault, TellsConvexQuadsFromConcaveAndBowTies) {
  const Vertex square[4] = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
  // A dart: one corner pushed inside, at each place in the list in turn.
  const Vertex dart[4] = {{0, 0, 0}, {10, 0, 0}, {3, 3, 0}, {0, 10, 0}};
  for (int start = 0; start < 4; ++start) {
    const auto at = [&](const Vertex* corners, int i) { return corners[(start + i) % 4]; };
    EXPECT_EQ(shape_fault(quad_of(at(square, 0), at(square, 1), at(square, 2), at(square, 3))),
              ShapeFault::kNone);
    EXPECT_EQ(shape_fault(quad_of(at(square, 3), at(square, 2), at(square, 1), at(square, 0))),
              ShapeFault::kNone);
    EXPECT_EQ(shape_fault(quad_of(at(dart, 0), at(dart, 1), at(dart, 2), at(dart, 3))),
              ShapeFault::kNotConvex);
    // Two corners exchanged: the edges cross.
    EXPECT_EQ(shape_fault(quad_of(at(square, 0), at(square, 2), at(square, 1), at(square, 3))),
              ShapeFault::kNotConvex);
  }
  // Warped out of its plane, a quad is still convex if its outline is.
  EXPECT_EQ(shape_fault(quad_of({0, 0, 0}, {10, 0, 0}, {10, 10, 3}, {0, 10, 0})),
            ShapeFault::kNone);
}

}  // namespace
}  // namespace skewquad
