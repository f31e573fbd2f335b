// The names of the checks, as JSON and SARIF give them.
#include "library/report_printer.h"

namespace skewquad {

const char* check_name(const Finding& finding) {
  switch (finding.fault) {
    case LineFault::kInvalid:
      return "invalid";
    case LineFault::kUnknownColour:
      return "unknown_colour";
    case LineFault::kColour24:
      return "colour_24";
    case LineFault::kEdgeColour:
      return "edge_colour";
    case LineFault::kIdentical:
      return "identical";
    case LineFault::kCollinear:
      return "collinear";
    case LineFault::kSingular:
      return "singular";
    case LineFault::kDecimals:
      return "decimals";
    case LineFault::kTrailingZeros:
      return "trailing_zeros";
    case LineFault::kLeadingZeros:
      return "leading_zeros";
    case LineFault::kNone:
      break;
  }
  switch (finding.fate) {
    case QuadFate::kInvalid:
      return "invalid";
    case QuadFate::kIdenticalCorners:
      return "identical";
    case QuadFate::kCollinearCorners:
      return "collinear";
    case QuadFate::kNotConvex:
      return "not_convex";
    case QuadFate::kNoBand:
    case QuadFate::kLow:
    case QuadFate::kWarning:
    case QuadFate::kError:
      break;
  }
  return "warp";
}

}  // namespace skewquad
