// Which faulty quads are mended, and by which triangles.
#include "geometry/quad_mend.h"

#include <gtest/gtest.h>

#include "quad_of.h"

namespace skewquad {
namespace {

TEST(ShapeMend, SplitsAConcaveQuadThroughItsReflexCornerInEveryPlace) {
  // An arrowhead whose reflex corner goes round the four places, in both
  // windings: the cut always runs through it.
  const Vertex arrow[4] = {{0, 0, 0}, {10, 0, 0}, {2, 2, 0}, {0, 10, 0}};
  for (int shift = 0; shift < 4; ++shift) {
    for (const bool reversed : {false, true}) {
      Vertex corners[4];
      for (int i = 0; i < 4; ++i) {
        corners[i] = arrow[reversed ? (shift + 4 - i) % 4 : (shift + i) % 4];
      }
      const QuadLine quad = quad_of(corners[0], corners[1], corners[2], corners[3]);
      const int reflex = reflex_corner(quad);
      ASSERT_GE(reflex, 0);
      EXPECT_TRUE(quad.corners[reflex] == arrow[2]);
      const ShapeMend mend = shape_mend(quad, ShapeFault::kNotConvex);
      EXPECT_EQ(mend.kind, ShapeMend::Kind::kSplit);
      EXPECT_EQ(mend.along_13, reflex % 2 == 0);
    }
  }
}

TEST(ShapeMend, LeavesTheAuthorsCallsAlone) {
  // A bow-tie: which of its two convex orders was meant is not known.
  EXPECT_EQ(
      shape_mend(quad_of({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}), ShapeFault::kNotConvex).kind,
      ShapeMend::Kind::kNone);
  // Identical corners that are not neighbours, and two pairs.
  EXPECT_EQ(
      shape_mend(quad_of({0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 1, 0}), ShapeFault::kIdenticalCorners)
          .kind,
      ShapeMend::Kind::kNone);
  EXPECT_EQ(
      shape_mend(quad_of({0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {1, 0, 0}), ShapeFault::kIdenticalCorners)
          .kind,
      ShapeMend::Kind::kNone);
  // A corner folded back.
  EXPECT_EQ(shape_mend(quad_of({0, 0, 0}, {10, 0, 0}, {5, 0, 0}, {0, 10, 0}),
                       ShapeFault::kCollinearCorners)
                .kind,
            ShapeMend::Kind::kNone);
  // One pair of neighbours alike, but the three corners left lie in a line:
  // the triangle would draw nothing either.
  EXPECT_EQ(shape_mend(quad_of({0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {10, 0, 0}),
                       ShapeFault::kIdenticalCorners)
                .kind,
            ShapeMend::Kind::kNone);
}

TEST(ShapeMend, DropsTheOneRepeatedOrStraightCorner) {
  // P4 equal to P1, its neighbour round the cycle: P1 is the one left out.
  ShapeMend mend = shape_mend(quad_of({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}),
                              ShapeFault::kIdenticalCorners);
  EXPECT_EQ(mend.kind, ShapeMend::Kind::kTriangle);
  EXPECT_EQ(mend.corner, 0);
  mend = shape_mend(quad_of({0, 0, 0}, {10, 0, 0}, {10, 5, 0}, {10, 10, 0}),
                    ShapeFault::kCollinearCorners);
  EXPECT_EQ(mend.kind, ShapeMend::Kind::kTriangle);
  EXPECT_EQ(mend.corner, 2);
}

}  // namespace
}  // namespace skewquad
