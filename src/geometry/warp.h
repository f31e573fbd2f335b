// The warp measure: the fold of a quad about each of its diagonals.
#pragma once

#include "geometry/quad_line.h"

namespace skewquad {

/// How far a quad is from planar, in degrees: the fold between the two
/// triangles on either side of each diagonal. Not a number for a degenerate
/// quad whose triangles have no normal.
struct WarpMeasure {
  double fold_24 = 0.0;  // about the diagonal P2-P4
  double fold_13 = 0.0;  // about the diagonal P1-P3
  double max = 0.0;      // fold_24 when strictly greater, otherwise fold_13
};

/// The sines of the two folds, the step of the measure before the arcsine.
struct FoldSines {
  double about_24 = 0.0;
  double about_13 = 0.0;
};

// Degrees per radian as the tool has always used it: 180 / 3.1415926, with pi
// cut short, so every angle reads a relative 1.7e-8 high and a right angle
// a little above 90.
inline constexpr double kDegreesPerRadian = 57.295780490442965;

/// The fold in degrees, from 0 to a hair above 90, for the sine of a fold.
double angle_of_sine(double sine);

/// The sines of the folds about P2-P4 and P1-P3, each at most 1.
FoldSines fold_sines(const QuadLine& quad);

/// True only when both of fold_sines' sines are certainly below `sine`: a
/// cheaper test by squares that is false whenever it cannot be sure, and
/// always for a sine below 1e-6.
bool folds_surely_below(const QuadLine& quad, double sine);

/// The measure from the two sines: their angles, and the larger as `max`.
WarpMeasure warp_of(const FoldSines& sines);

/// fold_sines then warp_of.
WarpMeasure measure_warp(const QuadLine& quad);

/// A sine below which the fold is certainly less than `degrees` (a positive
/// angle): a quad whose two sines are both below it can be known to be
/// below that angle without taking the arcsine.
double sine_surely_below(double degrees);

}  // namespace skewquad
