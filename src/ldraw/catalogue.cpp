// The catalogue of checks, and the messages of each.
#include "ldraw/catalogue.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "ldraw/finding_texts.h"
#include "writer/number_format.h"

namespace skewquad {
namespace {

[[gnu::format(printf, 1, 2)]] std::string formatted(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  char text[1200];
  const int size = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return {text, static_cast<std::size_t>(std::clamp<int>(size, 0, sizeof text - 1))};
}

// What each line type draws, as the messages name it.
const char* what_draws(const Finding& finding) {
  const int type = finding.line_type;
  return type >= 1 && type <= 5 ? text::kLineTypeNames[type] : "line";
}

int text_size(const Finding& finding) { return static_cast<int>(finding.text.size()); }

std::string invalid_message(const Finding& finding, const AngleLimits& /*limits*/) {
  return finding.line_type == 4 ? std::string(text::kInvalidQuadLine)
                                : formatted(text::kInvalidLine, finding.line_type);
}

std::string identical_message(const Finding& finding, const AngleLimits& /*limits*/) {
  switch (finding.line_type) {
    case 4:
      return text::kIdenticalQuad;
    case 3:
      return text::kIdenticalTriangle;
    default:
      return formatted(text::kIdenticalPoints, what_draws(finding));
  }
}

std::string collinear_message(const Finding& finding, const AngleLimits& /*limits*/) {
  return finding.line_type == 4 ? text::kCollinearQuad : text::kCollinearTriangle;
}

std::string not_convex_message(const Finding& /*finding*/, const AngleLimits& /*limits*/) {
  return text::kNotConvexQuad;
}

// An angle as "%.4lg" writes it, a limit as "%.7lg": the messages are made
// for every finding, and the C library's formatter was most of their cost.
std::string angle_text(double angle) {
  std::string text;
  append_general(text, angle, 4);
  return text;
}

std::string limit_text(double limit) {
  std::string text;
  append_general(text, limit, 7);
  return text;
}

std::string warp_message(const Finding& finding, const AngleLimits& limits) {
  return finding.severity == Severity::kWarning
             ? formatted(text::kWarpAboveWarning, angle_text(finding.angle).c_str(),
                         limit_text(limits.warning).c_str())
             : formatted(text::kWarpAboveError, angle_text(finding.angle).c_str(),
                         limit_text(limits.error).c_str());
}

std::string unknown_colour_message(const Finding& finding, const AngleLimits& /*limits*/) {
  return formatted(text::kUnknownColour, text_size(finding), finding.text.data());
}

std::string colour_24_message(const Finding& finding, const AngleLimits& /*limits*/) {
  return formatted(text::kColour24, what_draws(finding));
}

std::string edge_colour_message(const Finding& finding, const AngleLimits& /*limits*/) {
  return formatted(text::kNotEdgeColour, what_draws(finding), text_size(finding),
                   finding.text.data());
}

std::string singular_message(const Finding& /*finding*/, const AngleLimits& /*limits*/) {
  return text::kSingular;
}

std::string decimals_message(const Finding& finding, const AngleLimits& /*limits*/) {
  return formatted(text::kDecimals, text_size(finding), finding.text.data());
}

std::string trailing_zeros_message(const Finding& finding, const AngleLimits& /*limits*/) {
  return formatted(text::kTrailingZeros, text_size(finding), finding.text.data());
}

std::string leading_zeros_message(const Finding& finding, const AngleLimits& /*limits*/) {
  return formatted(text::kLeadingZeros, text_size(finding), finding.text.data());
}

constexpr unsigned kQuads = static_cast<unsigned>(CheckGroup::kQuads);
constexpr unsigned kLines = static_cast<unsigned>(CheckGroup::kLines);
constexpr unsigned kNumbers = static_cast<unsigned>(CheckGroup::kNumbers);
constexpr unsigned kColours = static_cast<unsigned>(CheckGroup::kColours);

// One row per check, in the order of CheckId (which SARIF lists them in).
constexpr CheckEntry kCatalogue[] = {
    {CheckId::kInvalid, "invalid", kQuads | kLines, false, nullptr, invalid_message,
     "Line without its numbers",
     "A drawing line does not hold its type's count of numbers (a quad: colour and 12 "
     "coordinates, and nothing after them; a sub-file reference: colour, 12 numbers and a file "
     "name).",
     "Write the line's numbers in full; nothing can be guessed from a broken line."},
    {CheckId::kIdentical, "identical", kQuads | kLines, false,
     "a quad with one repeated corner becomes the triangle of the others; a line or triangle "
     "that draws nothing goes",
     identical_message, "Identical points",
     "Two points of a quad, triangle, line or conditional line that must differ are the same.",
     "A quad with one repeated corner is a triangle; a line or triangle that draws nothing can be "
     "removed. skewquad --scan --fix does both."},
    {CheckId::kCollinear, "collinear", kQuads | kLines, false,
     "a quad with one straight corner becomes the triangle of the other three", collinear_message,
     "Corners in line",
     "At a corner of a quad or triangle the edges lie in one line: the angle between them is "
     "above 179.9 or below 0.025 degrees.",
     "A quad with one straight corner is the triangle of its other corners (skewquad --scan "
     "--fix); otherwise move the corner."},
    {CheckId::kNotConvex, "not_convex", kQuads, false,
     "a concave quad becomes two triangles through its reflex corner", not_convex_message,
     "Quad not convex", "The quad is concave (one corner reflex) or crosses itself (a bow-tie).",
     "A concave quad is two triangles along the diagonal through its reflex corner (skewquad "
     "--scan --fix); a bow-tie needs its corners listed in the order meant."},
    {CheckId::kWarp, "warp", kQuads, true,
     "two triangles along the diagonal with the smaller fold, and a conditional line along the "
     "cut",
     warp_message, "Warped quad",
     "The quad's corners do not lie in one plane: it folds about a diagonal by more than the "
     "warning or error angle.",
     "Split it into two triangles along the diagonal with the smaller fold, with a conditional "
     "line along the cut (skewquad --scan --fix, or the classic -c)."},
    {CheckId::kUnknownColour, "unknown_colour", kColours, false, nullptr, unknown_colour_message,
     "Unknown colour",
     "A colour that is neither a direct colour (0x...) nor defined by the library's "
     "LDConfig.ldr.",
     "Use a colour the library defines."},
    {CheckId::kColour24, "colour_24", kColours, false, nullptr, colour_24_message,
     "Edge colour on a surface",
     "Colour 24, the edge colour, on a sub-file reference, triangle or quad.",
     "Use the main colour 16 or a solid colour."},
    {CheckId::kEdgeColour, "edge_colour", kColours, false, nullptr, edge_colour_message,
     "Line not in the edge colour", "A line or conditional line in a colour other than 24.",
     "Give the line colour 24."},
    {CheckId::kSingular, "singular", kLines, false, nullptr, singular_message, "Singular matrix",
     "A sub-file's placement matrix has no inverse: the sub-file is flattened.",
     "Give the matrix three independent rows."},
    {CheckId::kDecimals, "decimals", kNumbers, false, nullptr, decimals_message,
     "Too many decimals", "A number with six or more digits after the point.",
     "Round it to at most five decimals where that keeps the geometry sound."},
    {CheckId::kTrailingZeros, "trailing_zeros", kNumbers, false,
     "the same number without its needless zeros", trailing_zeros_message, "Trailing zeros",
     "A number whose fraction ends in 0 (1.50, 2.0).", "Drop the zeros (skewquad --scan --fix)."},
    {CheckId::kLeadingZeros, "leading_zeros", kNumbers, false,
     "the same number without its needless zeros", leading_zeros_message, "Leading zeros",
     "A number with a needless leading zero (01.5, -05).",
     "Drop the zero (skewquad --scan --fix)."},
};

static_assert(std::size(kCatalogue) == kCheckCount, "a row for every check");
constexpr bool in_order() {
  for (std::size_t i = 0; i < std::size(kCatalogue); ++i) {
    if (static_cast<std::size_t>(kCatalogue[i].id) != i) return false;
  }
  return true;
}
static_assert(in_order(), "the rows in the order of CheckId");

// "number 1.50" or "3 numbers, 1.50 the first,".
std::string zeros_subject(const LineMend& mend) {
  const int size = static_cast<int>(mend.first_zeros.size());
  return mend.zero_numbers == 1
             ? formatted(text::kOneNumber, size, mend.first_zeros.data())
             : formatted(text::kSeveralNumbers, mend.zero_numbers, size, mend.first_zeros.data());
}

}  // namespace

std::span<const CheckEntry> catalogue() { return kCatalogue; }

const CheckEntry& entry_of(CheckId check) { return kCatalogue[static_cast<std::size_t>(check)]; }

const char* severity_name(Severity severity) {
  return severity == Severity::kWarning ? "warning" : "error";
}

std::string finding_message(const Finding& finding, const AngleLimits& limits) {
  return entry_of(finding.check).message(finding, limits);
}

std::string mend_message(const Finding& finding) {
  const LineMend& mend = finding.mend;
  std::string message;
  switch (mend.kind) {
    case MendKind::kWarpSplit:
      message = formatted(text::kFixedWarp, angle_text(finding.angle).c_str());
      break;
    case MendKind::kConcaveSplit:
      message = text::kFixedConcave;
      break;
    case MendKind::kIdenticalTriangle:
      message = text::kFixedIdentical;
      break;
    case MendKind::kCollinearTriangle:
      message = text::kFixedCollinear;
      break;
    case MendKind::kRemoved:
      return formatted(text::kFixedRemoved, what_draws(finding));
    case MendKind::kZeros:
      return formatted(text::kFixedZeros, zeros_subject(mend).c_str());
    case MendKind::kNone:
      return {};
  }
  if (mend.zeros_too) message += formatted(text::kFixedZerosToo, zeros_subject(mend).c_str());
  return message;
}

const char* became(const Finding& finding, bool conditional) {
  switch (finding.mend.kind) {
    case MendKind::kWarpSplit:
      return conditional ? "2 triangles and a conditional line" : "2 triangles";
    case MendKind::kConcaveSplit:
      return "2 triangles";
    case MendKind::kIdenticalTriangle:
    case MendKind::kCollinearTriangle:
      return "1 triangle";
    case MendKind::kRemoved:
      return "nothing";
    case MendKind::kZeros:
      return "the same numbers without needless zeros";
    case MendKind::kNone:
      break;
  }
  return "";
}

}  // namespace skewquad
