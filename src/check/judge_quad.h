// Judging one quad line: read, settled cheaply where that is sure, measured
// where it is not, and given its fate.
#pragma once

#include <string_view>

#include "check/line_checks.h"
#include "check/quad_fate.h"
#include "geometry/quad_line.h"
#include "geometry/quad_shape.h"
#include "geometry/warp.h"
#include "records/run_records.h"
#include "text/quad_line_reader.h"

namespace skewquad {

/// How a run checks: the classic way, or as the scan does.
enum class CheckMode : std::uint8_t {
  kClassic,  // the warp alone; lines counted in pieces of 1,023 characters
  kScan,     // each quad's shape before its warp; physical lines counted
};

/// The rules of a run: its limits, what is worked out from them once, and
/// what is checked.
struct CheckRules {
  AngleLimits limits;
  // A sine below which a fold is surely below the low angle.
  double planar_sine = 0.0;
  CheckMode mode = CheckMode::kClassic;
  // The scan's groups of checks and the colours they know.
  LineRules lines;
};

/// The rules for `limits`, whose angles are all positive.
CheckRules check_rules_for(const AngleLimits& limits, CheckMode mode = CheckMode::kClassic);

/// A quad's fate and, for one that is split or reported, its measure.
struct QuadJudgement {
  QuadFate fate = QuadFate::kNoBand;
  WarpMeasure measure;
};

/// The fate of a quad with this shape fault.
inline QuadFate fate_of(ShapeFault fault) {
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

/// Reads the type-4 line `piece`, after which kQuadLinePadding bytes can be
/// read, into `quad` and decides its fate: its shape first in the library
/// mode, then its warp. A quad in a coordinate plane, or one whose folds are
/// surely below the low angle, is settled without the exact measure: it is
/// in no band, whatever its angle to the last bit.
/// `located`, in the scan, may give the line's words as the line
/// checks located them, which are then not looked for again.
/// Defined here and always inlined: it runs once a quad line, and the line
/// loop pays a tenth more for a call.
[[gnu::always_inline]] inline QuadJudgement judge_quad(std::string_view piece,
                                                       const CheckRules& rules, QuadLine& quad,
                                                       const QuadWords* located = nullptr) {
  // A quad recognised as lying in a coordinate plane folds by exactly 0 (or
  // by no number, when degenerate): in no band while every limit is
  // positive, as the options make sure. Its shape still needs its corners.
  const bool check_shape = rules.mode == CheckMode::kScan;
  QuadReading reading;
  if (!check_shape) {
    reading = read_quad(piece, quad);
  } else if (located != nullptr) {
    reading = read_located_whole_quad(piece, *located, quad);
  } else {
    reading = read_whole_quad(piece, quad);
  }
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
