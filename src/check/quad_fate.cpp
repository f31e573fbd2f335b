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

CheckId check_of(QuadFate fate) {
  switch (fate) {
    case QuadFate::kInvalid:
      return CheckId::kInvalid;
    case QuadFate::kIdenticalCorners:
      return CheckId::kIdentical;
    case QuadFate::kCollinearCorners:
      return CheckId::kCollinear;
    case QuadFate::kNotConvex:
      return CheckId::kNotConvex;
    default:
      return CheckId::kWarp;
  }
}

Finding quad_finding(long long line_number, QuadFate fate, double angle, std::string_view line) {
  Finding finding;
  finding.line_number = line_number;
  finding.check = check_of(fate);
  finding.severity = fate == QuadFate::kWarning ? Severity::kWarning : Severity::kError;
  finding.angle = angle;
  finding.line = line;
  return finding;
}

}  // namespace skewquad
