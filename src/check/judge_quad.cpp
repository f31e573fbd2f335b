// Judging one quad line, the cheapest sure way first.
#include "check/judge_quad.h"

#include "geometry/quad_shape.h"
#include "text/quad_line_reader.h"

namespace skewquad {
namespace {

QuadFate fate_of(ShapeFault fault) {
  switch (fault) {
    case ShapeFault::kIdenticalCorners:
      return QuadFate::kIdenticalCorners;
    case ShapeFault::kCollinearCorners:
      return QuadFate::kCollinearCorners;
    case ShapeFault::kNotConvex:
      return QuadFate::kNotConvex;
    case ShapeFault::kNone:
      break;
  }
  return QuadFate::kNoBand;
}

}  // namespace

CheckRules check_rules_for(const AngleLimits& limits, CheckMode mode) {
  return {limits, sine_surely_below(limits.low()), mode, {}};
}

QuadJudgement judge_quad(std::string_view piece, const CheckRules& rules, QuadLine& quad) {
  // A quad recognised as lying in a coordinate plane folds by exactly 0 (or
  // by no number, when degenerate): in no band while every limit is
  // positive, as the options make sure. Its shape still needs its corners.
  const bool check_shape = rules.mode == CheckMode::kLibrary;
  const QuadReading reading = check_shape ? read_whole_quad(piece, quad) : read_quad(piece, quad);
  if (check_shape && reading != QuadReading::kIncomplete) {
    const QuadFate fault = fate_of(shape_fault(quad));
    if (fault != QuadFate::kNoBand) return {fault, {}};
  }
  switch (reading) {
    case QuadReading::kIncomplete:
      return {QuadFate::kInvalid, {}};
    case QuadReading::kInCoordinatePlane:
      return {QuadFate::kNoBand, {}};
    case QuadReading::kParsed:
      break;
  }
  if (folds_surely_below(quad, rules.planar_sine)) return {QuadFate::kNoBand, {}};
  const FoldSines sines = fold_sines(quad);
  // The arcsine, the dearest step of the measure, is not needed for folds
  // whose sines are both surely below the low angle.
  if (sines.about_24 < rules.planar_sine && sines.about_13 < rules.planar_sine) {
    return {QuadFate::kNoBand, {}};
  }
  const WarpMeasure measure = warp_of(sines);
  return {band_of(measure.max, rules.limits), measure};
}

}  // namespace skewquad
