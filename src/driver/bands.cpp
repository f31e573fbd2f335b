// Counting quads into the tally, and the file summary of a classic run.
#include "driver/bands.h"

#include "driver/console_texts.h"

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

void print_summary(const RunTally& tally, const AngleLimits& limits, std::FILE* console) {
  std::fputs(text::kSummaryHeading, console);
  if (tally.low_count > 0) {
    std::fprintf(console, text::kLowBand, tally.low_count, limits.low, limits.warning);
  }
  if (tally.warning_count > 0) {
    std::fprintf(console, text::kWarningBand, tally.warning_count, limits.warning, limits.error);
  } else {
    std::fprintf(console, text::kNoWarning, limits.warning, limits.error);
  }
  if (tally.error_count > 0) {
    std::fprintf(console, text::kErrorBand, tally.error_count, limits.error);
  } else {
    std::fprintf(console, text::kNoError, limits.error);
  }
  std::fputs(text::kSummaryRule, console);
  if (tally.error_count > 0) {
    std::fprintf(console, text::kWarpedCount, tally.error_count);
  } else if (are_standard(limits)) {
    std::fputs(text::kAllPlanar, console);
  }
}

}  // namespace skewquad
