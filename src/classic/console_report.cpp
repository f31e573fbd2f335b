// The classic console report and file summary.
#include "classic/console_report.h"

#include "classic/console_texts.h"

namespace skewquad {

void ConsoleReport::take(const Finding& finding) {
  if (finding.check == CheckId::kInvalid) {
    std::fprintf(console_, text::kInvalidQuad, finding.line_number);
  } else if (finding.check == CheckId::kWarp && finding.severity == Severity::kError) {
    std::fprintf(console_, text::kQuadAboveError, finding.line_number, finding.angle);
  }
}

void print_summary(const RunTally& tally, const AngleLimits& limits, std::FILE* console) {
  std::fputs(text::kSummaryHeading, console);
  if (tally.low_count > 0) {
    std::fprintf(console, text::kLowBand, tally.low_count, limits.low(), limits.warning);
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
