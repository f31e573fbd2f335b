// Judging one quad line, the cheapest sure way first.
#include "driver/quad_fate.h"

#include "text/quad_line_reader.h"

namespace skewquad {

QuadSieve sieve_for(const AngleLimits& limits) { return {limits, sine_surely_below(limits.low)}; }

QuadJudgement judge_quad(std::string_view piece, const QuadSieve& sieve, QuadLine& quad) {
  // A quad recognised as lying in a coordinate plane folds by exactly 0 (or
  // by no number, when degenerate): in no band while every limit is
  // positive, as the options make sure.
  switch (read_quad(piece, quad)) {
    case QuadReading::kIncomplete:
      return {QuadFate::kInvalid, {}};
    case QuadReading::kInCoordinatePlane:
      return {QuadFate::kNoBand, {}};
    case QuadReading::kParsed:
      break;
  }
  if (folds_surely_below(quad, sieve.planar_sine)) return {QuadFate::kNoBand, {}};
  const FoldSines sines = fold_sines(quad);
  // The arcsine, the dearest step of the measure, is not needed for folds
  // whose sines are both surely below the low angle.
  if (sines.about_24 < sieve.planar_sine && sines.about_13 < sieve.planar_sine) {
    return {QuadFate::kNoBand, {}};
  }
  const WarpMeasure measure = warp_of(sines);
  return {band_of(measure.max, sieve.limits), measure};
}

}  // namespace skewquad
