// Counting quads into the tally by their fate.
#include "check/quad_fate.h"

namespace skewquad {

void count_quad(QuadFate fate, RunTally& tally) {
  ++tally.quad_count;
  switch (fate) {
    case QuadFate::kInvalid:
    case QuadFate::kIdenticalCorners:
    case QuadFate::kCollinearCorners:
    case QuadFate::kNotConvex:
      ++tally.fault_count;
      break;
    case QuadFate::kNoBand:
      break;
    case QuadFate::kLow:
      ++tally.low_count;
      break;
    case QuadFate::kWarning:
      ++tally.warning_count;
      break;
    case QuadFate::kError:
      ++tally.error_count;
      break;
  }
}

}  // namespace skewquad
