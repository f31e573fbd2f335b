#pragma once

#include "geometry/quad.h"

namespace skewquad {

// How far a quad is from planar, in degrees: the fold between the two
// triangles on either side of each diagonal. Not a number for a degenerate
// quad whose triangles have no normal.
struct WarpMeasure {
  double fold_24 = 0.0;  // about the diagonal P2-P4
  double fold_13 = 0.0;  // about the diagonal P1-P3
  double max = 0.0;      // fold_24 when strictly greater, otherwise fold_13
};

// Degrees per radian as the tool has always used it: 180 / 3.1415926, with pi
// cut short, so every angle reads a relative 1.7e-8 high and a right angle
// a little above 90.
inline constexpr double kDegreesPerRadian = 57.295780490442965;

// The angle between the planes of two triangles, from 0 to a hair above 90,
// given their normals in any length and orientation.
double fold_angle(const Vertex& normal_a, const Vertex& normal_b);

WarpMeasure measure_warp(const QuadLine& quad);

}  // namespace skewquad
