// Judging one quad line: read, settled cheaply where that is sure, measured
// where it is not, and given its fate.
#pragma once

#include <string_view>

#include "check/line_checks.h"
#include "check/quad_fate.h"
#include "geometry/quad_line.h"
#include "geometry/warp.h"
#include "records/run_records.h"

namespace skewquad {

/// How a run checks: the classic way, or as the library mode does.
enum class CheckMode : std::uint8_t {
  kClassic,  // the warp alone; lines counted in pieces of 1,023 characters
  kLibrary,  // each quad's shape before its warp; physical lines counted
};

/// The rules of a run: its limits, what is worked out from them once, and
/// what is checked.
struct CheckRules {
  AngleLimits limits;
  // A sine below which a fold is surely below the low angle.
  double planar_sine = 0.0;
  CheckMode mode = CheckMode::kClassic;
  // The library mode's groups of checks and the colours they know.
  LineRules lines;
};

/// The rules for `limits`, whose angles are all positive.
CheckRules check_rules_for(const AngleLimits& limits, CheckMode mode = CheckMode::kClassic);

/// A quad's fate and, for one that is split or reported, its measure.
struct QuadJudgement {
  QuadFate fate = QuadFate::kNoBand;
  WarpMeasure measure;
};

/// Reads the type-4 line `piece`, after which kQuadLinePadding bytes can be
/// read, into `quad` and decides its fate: its shape first in the library
/// mode, then its warp. A quad in a coordinate plane, or one whose folds are
/// surely below the low angle, is settled without the exact measure: it is
/// in no band, whatever its angle to the last bit.
QuadJudgement judge_quad(std::string_view piece, const CheckRules& rules, QuadLine& quad);

}  // namespace skewquad
