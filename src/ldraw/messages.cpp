// Names, severities, messages and rules of the checks.
#include "ldraw/messages.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "ldraw/finding_texts.h"

namespace skewquad {
namespace {

[[gnu::format(printf, 1, 2)]] std::string formatted(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  char text[1200];
  const int size = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return {text, static_cast<std::size_t>(std::min<int>(size, sizeof text - 1))};
}

std::string mended_message(const Finding& finding) {
  const int size = static_cast<int>(finding.text.size());
  switch (finding.fault) {
    case LineFault::kTrailingZeros:
    case LineFault::kLeadingZeros:
      return formatted(text::kFixedZeros, size, finding.text.data());
    case LineFault::kNone:
      break;
    default:
      return formatted(text::kFixedRemoved, text::kLineTypeNames[finding.line_type]);
  }
  switch (finding.fate) {
    case QuadFate::kNotConvex:
      return text::kFixedConcave;
    case QuadFate::kIdenticalCorners:
      return text::kFixedIdentical;
    case QuadFate::kCollinearCorners:
      return text::kFixedCollinear;
    default:
      return formatted(text::kFixedWarp, finding.angle);
  }
}

std::string line_fault_message(const Finding& finding) {
  const int size = static_cast<int>(finding.text.size());
  const char* word = finding.text.data();
  const char* what = text::kLineTypeNames[finding.line_type];
  switch (finding.fault) {
    case LineFault::kInvalid:
      return formatted(text::kInvalidLine, finding.line_type);
    case LineFault::kUnknownColour:
      return formatted(text::kUnknownColour, size, word);
    case LineFault::kColour24:
      return formatted(text::kColour24, what);
    case LineFault::kEdgeColour:
      return formatted(text::kNotEdgeColour, what, size, word);
    case LineFault::kIdentical:
      return finding.line_type == 3 ? text::kIdenticalTriangle
                                    : formatted(text::kIdenticalPoints, what);
    case LineFault::kCollinear:
      return text::kCollinearTriangle;
    case LineFault::kSingular:
      return text::kSingular;
    case LineFault::kDecimals:
      return formatted(text::kDecimals, size, word);
    case LineFault::kTrailingZeros:
      return formatted(text::kTrailingZeros, size, word);
    case LineFault::kLeadingZeros:
      return formatted(text::kLeadingZeros, size, word);
    case LineFault::kNone:
      break;
  }
  return {};
}

// The rules in the order SARIF lists them.
constexpr CheckRule kRules[] = {
    {"invalid", "Line without its numbers",
     "A drawing line does not hold its type's count of numbers (a quad: colour and 12 "
     "coordinates; a sub-file reference: colour, 12 numbers and a file name).",
     "Write the line's numbers in full; nothing can be guessed from a broken line.", false},
    {"identical", "Identical points",
     "Two points of a quad, triangle, line or conditional line that must differ are the same.",
     "A quad with one repeated corner is a triangle; a line or triangle that draws nothing can be "
     "removed. skewquad --scan --fix does both.",
     false},
    {"collinear", "Corners in line",
     "At a corner of a quad or triangle the edges lie in one line: the angle between them is "
     "above 179.9 or below 0.025 degrees.",
     "A quad with one straight corner is the triangle of its other corners (skewquad --scan "
     "--fix); otherwise move the corner.",
     false},
    {"not_convex", "Quad not convex",
     "The quad is concave (one corner reflex) or crosses itself (a bow-tie).",
     "A concave quad is two triangles along the diagonal through its reflex corner (skewquad "
     "--scan --fix); a bow-tie needs its corners listed in the order meant.",
     false},
    {"warp", "Warped quad",
     "The quad's corners do not lie in one plane: it folds about a diagonal by more than the "
     "warning or error angle.",
     "Split it into two triangles along the diagonal with the smaller fold, with a conditional "
     "line along the cut (skewquad --scan --fix, or the classic -c).",
     true},
    {"unknown_colour", "Unknown colour",
     "A colour that is neither a direct colour (0x...) nor defined by the library's "
     "LDConfig.ldr.",
     "Use a colour the library defines.", false},
    {"colour_24", "Edge colour on a surface",
     "Colour 24, the edge colour, on a sub-file reference, triangle or quad.",
     "Use the main colour 16 or a solid colour.", false},
    {"edge_colour", "Line not in the edge colour",
     "A line or conditional line in a colour other than 24.", "Give the line colour 24.", false},
    {"singular", "Singular matrix",
     "A sub-file's placement matrix has no inverse: the sub-file is flattened.",
     "Give the matrix three independent rows.", false},
    {"decimals", "Too many decimals", "A number with six or more digits after the point.",
     "Round it to at most five decimals where that keeps the geometry sound.", false},
    {"trailing_zeros", "Trailing zeros", "A number whose fraction ends in 0 (1.50, 2.0).",
     "Drop the zeros (skewquad --scan --fix).", false},
    {"leading_zeros", "Leading zeros", "A number with a needless leading zero (01.5, -05).",
     "Drop the zero (skewquad --scan --fix).", false},
};

}  // namespace

const char* severity_of(const Finding& finding) {
  return finding.fate == QuadFate::kWarning ? "warning" : "error";
}

std::string finding_message(const Finding& finding, const AngleLimits& limits) {
  if (finding.mended) return mended_message(finding);
  if (finding.fault != LineFault::kNone) return line_fault_message(finding);
  switch (finding.fate) {
    case QuadFate::kInvalid:
      return text::kInvalidQuadLine;
    case QuadFate::kIdenticalCorners:
      return text::kIdenticalQuad;
    case QuadFate::kCollinearCorners:
      return text::kCollinearQuad;
    case QuadFate::kNotConvex:
      return text::kNotConvexQuad;
    case QuadFate::kError:
      return formatted(text::kWarpAboveError, finding.angle, limits.error);
    case QuadFate::kWarning:
      return formatted(text::kWarpAboveWarning, finding.angle, limits.warning);
    case QuadFate::kNoBand:
    case QuadFate::kLow:
      break;
  }
  return {};
}

const CheckRule* check_rules(std::size_t& count) {
  count = std::size(kRules);
  return kRules;
}

std::size_t rule_index(const char* name) {
  for (std::size_t i = 0; i < std::size(kRules); ++i) {
    if (std::strcmp(kRules[i].name, name) == 0) return i;
  }
  return 0;
}

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
