// The warp measure, in the order of its arithmetic to the last bit: edges,
// triangle normals, unit normals, the sine of each fold, its arcsine.
#include "geometry/warp.h"

#include <cmath>

namespace skewquad {
namespace {

// The order of the sum (z, then y, then x) decides the last bit, and with it
// exact ties between the two folds and the edge of the arcsine's domain.
double length(const Vertex& v) { return std::sqrt((v.z * v.z + v.y * v.y) + v.x * v.x); }

Vertex unit(const Vertex& v) {
  const double reciprocal = 1.0 / length(v);
  return {v.x * reciprocal, v.y * reciprocal, v.z * reciprocal};
}

// The normals of the four triangles a quad's diagonals cut it into, each
// from the two edges at one corner: P1 P2 P4 at P1 and P2 P3 P4 at P3 fold
// about the diagonal P2-P4, P1 P2 P3 at P2 and P3 P4 P1 at P4 about P1-P3.
struct TriangleNormals {
  Vertex at_1;
  Vertex at_2;
  Vertex at_3;
  Vertex at_4;
};

TriangleNormals triangle_normals(const QuadLine& quad) {
  const Vertex& p1 = quad.corners[0];
  const Vertex& p2 = quad.corners[1];
  const Vertex& p3 = quad.corners[2];
  const Vertex& p4 = quad.corners[3];
  const Vertex a = minus(p1, p2);
  const Vertex b = minus(p2, p3);
  const Vertex c = minus(p3, p4);
  const Vertex d = minus(p4, p1);
  return {cross(a, d), cross(a, b), cross(b, c), cross(d, c)};
}

// Whether the fold between two triangles with these normals has a sine
// certainly below `sine` (1e-6 or more), by comparing squares:
// |na x nb|^2 < sine^2 (1 - 1e-6) |na|^2 |nb|^2. The product of the raw
// normals errs by a few units in the last place of |na| |nb|, the sine
// fold_sine computes from unit normals by a few units of 1: far less than
// the margin of 1e-6 takes off a sine of 1e-6 or more. The squared lengths
// are kept where no product below can overflow or lose its precision
// (and away from zero, where there is no normal).
bool sine_surely_below_by_squares(const Vertex& normal_a, const Vertex& normal_b,
                                  double squared_bound) {
  constexpr double kSmallest = 1e-140;
  constexpr double kLargest = 1e140;
  const double squared_a = dot(normal_a, normal_a);
  const double squared_b = dot(normal_b, normal_b);
  const Vertex normal_cross = cross(normal_a, normal_b);
  return squared_a >= kSmallest && squared_a <= kLargest && squared_b >= kSmallest &&
         squared_b <= kLargest &&
         dot(normal_cross, normal_cross) < squared_bound * squared_a * squared_b;
}

// The sine of the angle between the planes of two triangles, given their
// normals in any length and orientation; at most 1.
double fold_sine(const Vertex& normal_a, const Vertex& normal_b) {
  const double sine = length(cross(unit(normal_a), unit(normal_b)));
  // Rounding can push the sine of a right angle just past 1; the arcsine of
  // that would be no number and the quad would go unreported.
  return sine > 1.0 ? 1.0 : sine;
}

}  // namespace

bool folds_surely_below(const QuadLine& quad, double sine) {
  if (!(sine >= 1e-6)) return false;
  const double squared_bound = sine * sine * (1.0 - 1e-6);
  const TriangleNormals normals = triangle_normals(quad);
  return sine_surely_below_by_squares(normals.at_1, normals.at_3, squared_bound) &&
         sine_surely_below_by_squares(normals.at_2, normals.at_4, squared_bound);
}

double angle_of_sine(double sine) {
  // Planar quads are the common case, and the arcsine of an exact zero is
  // exactly zero.
  if (sine == 0.0) return 0.0;
  const long double radians = std::asin(static_cast<long double>(sine));
  return static_cast<double>(radians * static_cast<long double>(kDegreesPerRadian));
}

FoldSines fold_sines(const QuadLine& quad) {
  const TriangleNormals normals = triangle_normals(quad);
  FoldSines sines;
  sines.about_24 = fold_sine(normals.at_1, normals.at_3);
  sines.about_13 = fold_sine(normals.at_2, normals.at_4);
  return sines;
}

WarpMeasure warp_of(const FoldSines& sines) {
  WarpMeasure measure;
  measure.fold_24 = angle_of_sine(sines.about_24);
  measure.fold_13 = angle_of_sine(sines.about_13);
  measure.max = measure.fold_24 > measure.fold_13 ? measure.fold_24 : measure.fold_13;
  return measure;
}

WarpMeasure measure_warp(const QuadLine& quad) { return warp_of(fold_sines(quad)); }

double sine_surely_below(double degrees) {
  // For 0 <= s <= 1/2, asin s <= s / sqrt(1 - s^2) < 1.155 s (the slope of
  // the arcsine only grows). The long double arcsine, its product with the
  // factor and the rounding to double each err by less than 2^-60 relative,
  // so a sine below degrees / (1.2 * factor) gives an angle below degrees.
  const double bound = degrees / (1.2 * kDegreesPerRadian);
  return bound < 0.5 ? bound : 0.5;
}

}  // namespace skewquad
