// The warp measure against its geometry and an independent dihedral angle.
#include "geometry/warp.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "plain_measure.h"
#include "quad_of.h"

namespace skewquad {
namespace {

QuadLine rotated(const QuadLine& quad) {
  return quad_of(quad.corners[1], quad.corners[2], quad.corners[3], quad.corners[0]);
}

QuadLine reversed(const QuadLine& quad) {
  return quad_of(quad.corners[3], quad.corners[2], quad.corners[1], quad.corners[0]);
}

QuadLine scaled(const QuadLine& quad, double factor) {
  QuadLine result = quad;
  for (Vertex& corner : result.corners) {
    corner = {corner.x * factor, corner.y * factor, corner.z * factor};
  }
  return result;
}

// Angles read high by the relative amount pi / 3.1415926 - 1.
constexpr double kAngleScale = 3.141592653589793 / 3.1415926;

TEST(MeasureWarp, IsExactlyZeroForQuadsInACoordinatePlane) {
  const QuadLine shapes[] = {
      quad_of({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}),        // square
      quad_of({0, 0, 0}, {4, 0, 0}, {1, 1, 0}, {0, 4, 0}),        // concave
      quad_of({0, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}),        // bow-tie
      quad_of({3, -2, 5}, {3, 7, 5.5}, {3, 8, -1}, {3, -4, -2}),  // plane x = 3
  };
  for (const QuadLine& quad : shapes) {
    const WarpMeasure measure = measure_warp(quad);
    EXPECT_EQ(measure.fold_24, 0.0);
    EXPECT_EQ(measure.fold_13, 0.0);
    EXPECT_EQ(measure.max, 0.0);
  }
}

TEST(MeasureWarp, MeasuresTheFoldAboutEachDiagonal) {
  const QuadLine lifted = quad_of({0, 0, 0}, {1, 0, 0}, {1, 1, 0.1}, {0, 1, 0});
  const WarpMeasure measure = measure_warp(lifted);
  EXPECT_NEAR(measure.fold_24, 8.05, 0.005);
  EXPECT_NEAR(measure.fold_13, 8.07, 0.005);
  EXPECT_EQ(measure.max, measure.fold_13);

  const WarpMeasure skew = measure_warp(quad_of({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}));
  EXPECT_GT(skew.fold_24, 60.0);
  EXPECT_LT(skew.fold_24, 60.00001);
  EXPECT_NEAR(skew.fold_13, std::acos(1 / std::sqrt(3.0)) * 180 / 3.1415926, 1e-9);
  EXPECT_EQ(skew.max, skew.fold_24);
}

TEST(MeasureWarp, ReadsAFoldAlmostBackOnItselfAsTheSmallAngleLeft) {
  // Triangle P1 P2 P4 in the plane z = 0, and P3 folded 175 degrees over the
  // diagonal P2-P4 so that it lies almost on P1.
  const double fold = 175.0 * 3.141592653589793 / 180.0;
  const QuadLine quad =
      quad_of({-1, 0, 0}, {0, -1, 0}, {std::cos(fold), 0, std::sin(fold)}, {0, 1, 0});
  EXPECT_NEAR(measure_warp(quad).fold_24, 5.0 * kAngleScale, 1e-9);
}

TEST(MeasureWarp, ReadsARightAngleFoldAsNinetyInEveryCornerOrder) {
  // Rounding puts the sine of this fold a hair above 1 in two corner orders.
  QuadLine quad = quad_of({10, -10, 0}, {0, 0, 10}, {10, 10, 0}, {0, 0, 0});
  for (int order = 0; order < 8; ++order) {
    const WarpMeasure measure = measure_warp(quad);
    EXPECT_NEAR(measure.max, 90.0 * kAngleScale, 1e-9) << "order " << order;
    quad = order == 3 ? reversed(quad) : rotated(quad);
  }
}

TEST(MeasureWarp, IsNoNumberWhereATriangleHasNoNormal) {
  const WarpMeasure corners_meet =
      measure_warp(quad_of({0, 0, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 1}));
  EXPECT_TRUE(std::isnan(corners_meet.fold_24));
  EXPECT_TRUE(std::isnan(corners_meet.fold_13));
  EXPECT_TRUE(std::isnan(corners_meet.max));

  const WarpMeasure p2_on_p4 = measure_warp(quad_of({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 0, 0}));
  EXPECT_TRUE(std::isnan(p2_on_p4.fold_24));
  EXPECT_EQ(p2_on_p4.fold_13, 0.0);
  EXPECT_EQ(p2_on_p4.max, 0.0);

  const WarpMeasure p1_on_p3 = measure_warp(quad_of({0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 1, 1}));
  EXPECT_TRUE(std::isnan(p1_on_p3.fold_13));
  EXPECT_TRUE(std::isnan(p1_on_p3.max));
}

Vertex random_vertex(std::mt19937_64& random) {
  std::uniform_real_distribution<double> coordinate(-100.0, 100.0);
  return {coordinate(random), coordinate(random), coordinate(random)};
}

QuadLine random_quad(std::mt19937_64& random) {
  return quad_of(random_vertex(random), random_vertex(random), random_vertex(random),
                 random_vertex(random));
}

TEST(MeasureWarp, ExchangesTheFoldsExactlyWhenTheCornersAreRelisted) {
  std::mt19937_64 random(4);
  for (int i = 0; i < 20000; ++i) {
    const QuadLine quad = random_quad(random);
    const WarpMeasure measure = measure_warp(quad);
    for (const QuadLine& relisted : {rotated(quad), reversed(quad)}) {
      const WarpMeasure other = measure_warp(relisted);
      ASSERT_EQ(other.fold_24, measure.fold_13);
      ASSERT_EQ(other.fold_13, measure.fold_24);
      ASSERT_EQ(other.max, measure.max);
    }
  }
}

TEST(MeasureWarp, IsUnchangedByScalingByPowersOfTwo) {
  std::mt19937_64 random(2);
  for (int i = 0; i < 5000; ++i) {
    const QuadLine quad = random_quad(random);
    const WarpMeasure measure = measure_warp(quad);
    for (double factor : {0.25, 2.0, 1024.0, 0x1p-40}) {
      const WarpMeasure other = measure_warp(scaled(quad, factor));
      ASSERT_EQ(other.fold_24, measure.fold_24);
      ASSERT_EQ(other.fold_13, measure.fold_13);
    }
  }
}

// The dihedral angle computed another way: from the angle between the plane
// normals as atan2 of the sine and the absolute cosine, in long double.
struct LongVector {
  long double x, y, z;
};

LongVector long_cross(const LongVector& u, const LongVector& v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

LongVector long_difference(const Vertex& a, const Vertex& b) {
  return {static_cast<long double>(a.x) - b.x, static_cast<long double>(a.y) - b.y,
          static_cast<long double>(a.z) - b.z};
}

double reference_fold(const Vertex& apex_a, const Vertex& apex_b, const Vertex& hinge_1,
                      const Vertex& hinge_2) {
  const LongVector hinge = long_difference(hinge_2, hinge_1);
  const LongVector na = long_cross(hinge, long_difference(apex_a, hinge_1));
  const LongVector nb = long_cross(hinge, long_difference(apex_b, hinge_1));
  const LongVector c = long_cross(na, nb);
  const long double sine = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
  const long double cosine = std::fabs(na.x * nb.x + na.y * nb.y + na.z * nb.z);
  return static_cast<double>(std::atan2(sine, cosine) * 180.0L / 3.1415926L);
}

TEST(MeasureWarp, AgreesWithAnIndependentDihedralAngleOnGeneratedQuads) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> lift(-3.0, 3.0);
  for (int i = 0; i < 20000; ++i) {
    // Mostly near-planar quads like those of real parts, some far from it.
    QuadLine quad = random_quad(random);
    if (i % 4 != 0) {
      const Vertex& p1 = quad.corners[0];
      const Vertex& p2 = quad.corners[1];
      const Vertex& p4 = quad.corners[3];
      quad.corners[2] = {p2.x + p4.x - p1.x + lift(random), p2.y + p4.y - p1.y + lift(random),
                         p2.z + p4.z - p1.z + lift(random)};
    }
    const Vertex* p = quad.corners;
    const WarpMeasure measure = measure_warp(quad);
    const double expected_24 = reference_fold(p[0], p[2], p[1], p[3]);
    const double expected_13 = reference_fold(p[1], p[3], p[0], p[2]);
    ASSERT_NEAR(measure.fold_24, expected_24, 2e-5) << i;
    ASSERT_NEAR(measure.fold_13, expected_13, 2e-5) << i;
    ASSERT_EQ(measure.max, std::max(measure.fold_24, measure.fold_13));
  }
}

bool same_bits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}

// A quad lifted out of its plane by `lift` at P3: a parallelogram P1 P2 P3
// P4 whose fourth corner is moved along the plane's normal.
QuadLine lifted_parallelogram(std::mt19937_64& random, double lift) {
  QuadLine quad = random_quad(random);
  const Vertex& p1 = quad.corners[0];
  const Vertex& p2 = quad.corners[1];
  const Vertex& p4 = quad.corners[3];
  const Vertex u{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
  const Vertex v{p4.x - p1.x, p4.y - p1.y, p4.z - p1.z};
  const Vertex n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
  const double scale = lift / std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  quad.corners[2] = {p2.x + v.x + n.x * scale, p2.y + v.y + n.y * scale, p2.z + v.z + n.z * scale};
  return quad;
}

TEST(MeasureWarp, IsThePlainArithmeticToTheLastBit) {
  // Against the plain way of writing the same arithmetic: any reordered
  // sum, fused multiply-add or arcsine in double changes the last bit of
  // some of these angles. Quads far from planar, near planar on every
  // scale, and near the angles that decide bands.
  std::mt19937_64 random(31);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 200000; ++i) {
    QuadLine quad;
    switch (i % 4) {
      case 0:
        quad = random_quad(random);
        break;
      case 1:
        quad = lifted_parallelogram(random, std::pow(10.0, -10.0 * unit(random)) * 100.0);
        break;
      default: {
        // About 0.1, 1 or 3 degrees for a side of about 100.
        const double radians = (i % 3 == 0 ? 0.1 : i % 3 == 1 ? 1.0 : 3.0) * 0.01745;
        quad = lifted_parallelogram(random, 100.0 * radians * (0.5 + unit(random)));
        break;
      }
    }
    double coordinates[12];
    double* coordinate = coordinates;
    for (const Vertex& corner : quad.corners) {
      *coordinate++ = corner.x;
      *coordinate++ = corner.y;
      *coordinate++ = corner.z;
    }
    const testing::PlainWarp expected = testing::plain_warp(coordinates);
    const WarpMeasure measure = measure_warp(quad);
    ASSERT_TRUE(same_bits(measure.fold_24, expected.fold_24)) << i;
    ASSERT_TRUE(same_bits(measure.fold_13, expected.fold_13)) << i;
    ASSERT_TRUE(same_bits(measure.max, expected.max)) << i;
  }
}

TEST(SineSurelyBelow, GivesOnlySinesWhoseAngleIsBelowTheLimit) {
  std::mt19937_64 random(11);
  for (double degrees : {1e-9, 0.0001, 0.1, 0.3, 1.0, 8.9, 30.0}) {
    const double bound = sine_surely_below(degrees);
    EXPECT_LT(angle_of_sine(bound), degrees);
    EXPECT_LT(angle_of_sine(std::nextafter(bound, 0.0)), degrees);
    std::uniform_real_distribution<double> below(0.0, bound);
    for (int i = 0; i < 10000; ++i) ASSERT_LT(angle_of_sine(below(random)), degrees);
    // Not so cautious that ordinary low-band quads would be missed.
    EXPECT_GT(angle_of_sine(bound), degrees * 0.8);
  }
}

TEST(MeasureWarp, IsTheAngleOfEachFoldSine) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 1000; ++i) {
    const QuadLine quad = random_quad(random);
    const FoldSines sines = fold_sines(quad);
    const WarpMeasure measure = measure_warp(quad);
    ASSERT_EQ(measure.fold_24, angle_of_sine(sines.about_24));
    ASSERT_EQ(measure.fold_13, angle_of_sine(sines.about_13));
  }
}

TEST(FoldsSurelyBelow, IsTrueOnlyWhenBothSinesAreBelow) {
  std::mt19937_64 random(12);
  std::uniform_real_distribution<double> exponent(-14.0, 0.0);
  int sure = 0;
  for (int i = 0; i < 200000; ++i) {
    // Quads lifted out of plane by amounts on every scale, some of them
    // right at the sine tested.
    QuadLine quad = random_quad(random);
    const Vertex& p1 = quad.corners[0];
    const Vertex& p2 = quad.corners[1];
    const Vertex& p4 = quad.corners[3];
    const double lift = std::pow(10.0, exponent(random));
    quad.corners[2] = {p2.x + p4.x - p1.x, p2.y + p4.y - p1.y + lift, p2.z + p4.z - p1.z};
    const FoldSines sines = fold_sines(quad);
    for (double sine : {sine_surely_below(0.1), sine_surely_below(0.0001), 1e-6, 0.4,
                        std::max(sines.about_24, sines.about_13)}) {
      if (folds_surely_below(quad, sine)) {
        ++sure;
        ASSERT_LT(sines.about_24, sine) << i;
        ASSERT_LT(sines.about_13, sine) << i;
      }
    }
  }
  // It spares the measure often enough to be worth having.
  EXPECT_GT(sure, 200000);
}

TEST(FoldsSurelyBelow, IsFalseWhereItCannotBeSure) {
  const QuadLine flat = quad_of({0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0});
  EXPECT_TRUE(folds_surely_below(flat, 1e-6));
  EXPECT_FALSE(folds_surely_below(flat, 1e-7));
  const QuadLine degenerate = quad_of({0, 0, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0});
  EXPECT_FALSE(folds_surely_below(degenerate, 0.5));
  const QuadLine huge = quad_of({0, 0, 0}, {1e80, 0, 0}, {1e80, 1e80, 0}, {0, 1e80, 0});
  EXPECT_FALSE(folds_surely_below(huge, 0.5));
}

}  // namespace
}  // namespace skewquad
