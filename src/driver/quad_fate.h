// Judging one quad line: read, settled cheaply where that is sure, measured
// where it is not, and given its fate.
#pragma once

#include <string_view>

#include "driver/bands.h"
#include "geometry/quad_line.h"
#include "geometry/warp.h"
#include "records/run_records.h"

namespace skewquad {

/// The limits of a run and what is worked out from them once.
struct QuadSieve {
  AngleLimits limits;
  // A sine below which a fold is surely below the low angle.
  double planar_sine = 0.0;
  // Whether the shape of every quad is checked before its warp.
  bool check_shapes = false;
};

/// The sieve for `limits`, whose angles are all positive.
QuadSieve sieve_for(const AngleLimits& limits, bool check_shapes = false);

/// A quad's fate and, for one that is split or reported, its measure.
struct QuadJudgement {
  QuadFate fate = QuadFate::kNoBand;
  WarpMeasure measure;
};

/// Reads the type-4 line `piece`, after which kQuadLinePadding bytes can be
/// read, into `quad` and decides its fate: its shape first when the sieve
/// says so, then its warp. A quad in a coordinate plane, or one whose folds
/// are surely below the low angle, is settled without the exact measure: it
/// is in no band, whatever its angle to the last bit.
QuadJudgement judge_quad(std::string_view piece, const QuadSieve& sieve, QuadLine& quad);

}  // namespace skewquad
