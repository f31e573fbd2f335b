// The catalogue of checks, and the messages of each.
#include "ldraw/catalogue.h"

#include <algorithm>
#include <cstdio>

#include "ldraw/finding_texts.h"
#include "text/formatted.h"
#include "writer/number_format.h"

namespace skewquad {
namespace {

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

// A file check's message.
template <const char* kText>
std::string file_message(const Finding& /*finding*/, const AngleLimits& /*limits*/) {
  return kText;
}

// A file check's message with the value at fault; `kWithout` when the file
// gives none.
template <const char* kText, const char* kWithout = kText>
std::string valued_message(const Finding& finding, const AngleLimits& /*limits*/) {
  if (finding.text.empty()) return kWithout;
  return formatted(kText, text_size(finding), finding.text.data());
}

constexpr unsigned kFile = static_cast<unsigned>(CheckGroup::kFile);
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
    // The checks of a file as a whole, on parts (*.dat).
    {CheckId::kMissingDescription, "missing_description", kFile, false, nullptr,
     file_message<text::kMissingDescription>, "No description",
     "The file's first line is not 0 and the part's description.",
     "Begin the file with 0 and the description."},
    {CheckId::kMissingName, "missing_name", kFile, false, nullptr, file_message<text::kMissingName>,
     "No Name: line", "The file has no well-formed 0 Name: line with one word after it.",
     "Add 0 Name: and the file's name, with its folder's prefix (s\\ for a subpart)."},
    {CheckId::kMissingAuthor, "missing_author", kFile, false, nullptr,
     file_message<text::kMissingAuthor>, "Author not named",
     "The first well-formed 0 Author: line names nobody, or there is none.",
     "Add 0 Author: with the author's name and, if registered, [user]."},
    {CheckId::kMissingLdrawOrg, "missing_ldraw_org", kFile, false, nullptr,
     file_message<text::kMissingLdrawOrg>, "No !LDRAW_ORG line",
     "The file has no well-formed 0 !LDRAW_ORG line giving its part type.",
     "Add 0 !LDRAW_ORG with the part type (Unofficial_Part, Unofficial_Subpart, ...)."},
    {CheckId::kMissingLicense, "missing_license", kFile, false, nullptr,
     file_message<text::kMissingLicense>, "No !LICENSE line",
     "The file has no 0 !LICENSE line with a text.",
     "Add 0 !LICENSE Licensed under CC BY 4.0 : see CAreadme.txt."},
    {CheckId::kLicenseNotApproved, "license_not_approved", kFile, false, nullptr,
     valued_message<text::kLicenseNotApproved>, "Licence not approved",
     "The licence text is none of the three the library takes.",
     "Use Licensed under CC BY 4.0 : see CAreadme.txt (or CC BY 2.0 and CC BY 4.0, or CC0)."},
    {CheckId::kNameMismatch, "name_mismatch", kFile, false, nullptr,
     valued_message<text::kNameMismatch>, "Name: not the file's name",
     "The Name's base name differs, in any case, from the file's own name.",
     "Give the file and its Name: line the same name."},
    {CheckId::kNameTypeMismatch, "name_type_mismatch", kFile, false, nullptr,
     valued_message<text::kNameTypeMismatch>, "Name: not as the type asks",
     "The Name is not the part type's prefix (s\\ for a subpart, 48\\ for a hi-res "
     "primitive, ...) followed by its base name.",
     "Write the Name with its type's prefix and a backslash."},
    {CheckId::kFolderTypeMismatch, "folder_type_mismatch", kFile, false, nullptr,
     valued_message<text::kFolderTypeMismatch>, "Folder not the type's",
     "The file does not stand in the folder its part type belongs in (parts, parts/s, p, "
     "p/48, ...).",
     "Move the file, or give it the type of its folder."},
    {CheckId::kNameInvalidChars, "name_invalid_chars", kFile, false, nullptr,
     file_message<text::kNameInvalidChars>, "Invalid character in the Name",
     "The Name holds a control, invisible format, separator or private-use character.",
     "Write the Name with visible characters."},
    {CheckId::kXPrefixName, "x_prefix_name", kFile, false, nullptr,
     valued_message<text::kXPrefixName>, "Name begins with x",
     "The base name begins with x or X, which the library does not give.", "Rename the part."},
    {CheckId::kBfcNotCcw, "bfc_not_ccw", kFile, false,
     "BFC CERTIFY CW becomes CCW, and every triangle and quad is written in the reverse order "
     "of its corners",
     valued_message<text::kBfcNotCcw, text::kNoBfc>, "Not BFC CERTIFY CCW",
     "The header has no 0 BFC CERTIFY CCW line.",
     "Certify the part's winding as CCW; skewquad --scan --fix turns a CERTIFY CW part."},
    {CheckId::kCategoryInvalid, "category_invalid", kFile, false, nullptr,
     valued_message<text::kCategoryInvalid, text::kNoCategory>, "No valid category",
     "A part or shortcut has neither a !CATEGORY line nor a description word that is one of "
     "the library's categories.",
     "Add 0 !CATEGORY with one of the categories."},
    {CheckId::kDescriptionInvalidChars, "description_invalid_chars", kFile, false, nullptr,
     file_message<text::kDescriptionInvalidChars>, "Invalid character in the description",
     "The description holds a control (a tab inside it), invisible format, separator or "
     "private-use character.",
     "Write the description with visible characters and spaces."},
    {CheckId::kSubpartNoTilde, "subpart_no_tilde", kFile, false,
     "the description given its leading ~", file_message<text::kSubpartNoTilde>,
     "Subpart without ~", "A subpart's description does not begin with ~.",
     "Begin the description with ~ (skewquad --scan --fix)."},
    {CheckId::kMovedObsoleteNoTilde, "moved_obsolete_no_tilde", kFile, false, nullptr,
     file_message<text::kMovedObsoleteNoTilde>, "Moved or obsolete without ~",
     "A part in category Moved or Obsolete has a description that does not begin with ~.",
     "Begin the description with ~."},
    {CheckId::kAliasNoEquals, "alias_no_equals", kFile, false, nullptr,
     file_message<text::kAliasNoEquals>, "Alias without =",
     "An alias's description has no = in its prefix.", "Begin the description with =."},
    {CheckId::kThirdPartyNoPipe, "third_party_no_pipe", kFile, false, nullptr,
     file_message<text::kThirdPartyNoPipe>, "Third-party part without |",
     "A part whose name begins with t has no | in its description's prefix.",
     "Begin the description with |."},
    {CheckId::kObsoleteImproper, "obsolete_improper", kFile, false, nullptr,
     file_message<text::kObsoleteImproper>, "Obsolete not said both ways",
     "The category is Obsolete but the description does not say so, or the other way round.",
     "Give an obsolete part category Obsolete and (Obsolete) in its description, or neither."},
    {CheckId::kPatternNotInDescription, "pattern_not_in_description", kFile, false, nullptr,
     file_message<text::kPatternNotInDescription>, "Pattern not in the description",
     "A pattern part's description does not end in Pattern (or Pattern and a bracket).",
     "End the description in Pattern."},
    {CheckId::kPatternWithoutSetKeyword, "pattern_without_set_keyword", kFile, false, nullptr,
     file_message<text::kPatternWithoutSetKeyword>, "Pattern without set keyword",
     "A pattern part has no keyword beginning with Set, CMF or Build-A-Minifigure.",
     "Add 0 !KEYWORDS Set and the number of a set the pattern comes in."},
    {CheckId::kPhysicalColour, "physical_colour", kFile, false, nullptr,
     file_message<text::kPhysicalColour>, "Physical colour not obsolete",
     "A part qualified Physical_Colour that is not in category Obsolete.",
     "Make the part obsolete, or drop the qualifier."},
    {CheckId::kAliasNotInParts, "alias_not_in_parts", kFile, false, nullptr,
     file_message<text::kAliasNotInParts>, "Alias not a part",
     "The Alias qualifier on a type other than Part and Shortcut.", "Drop the qualifier."},
    {CheckId::kFlexNotPart, "flex_not_part", kFile, false, nullptr,
     file_message<text::kFlexNotPart>, "Flexible section not a part",
     "The Flexible_Section qualifier on a type other than Part.", "Drop the qualifier."},
    {CheckId::kFlexSuffix, "flex_suffix", kFile, false, nullptr, file_message<text::kFlexSuffix>,
     "Flexible section name",
     "A flexible section's name does not end in k and two letters or digits.",
     "Name the section as 73590k01.dat."},
    {CheckId::kSelfReference, "self_reference", kFile, false, nullptr,
     file_message<text::kSelfReference>, "Self reference", "A line uses the file itself.",
     "Remove the line, or name the sub-file meant."},
    {CheckId::kHistoryInvalid, "history_invalid", kFile, false, nullptr,
     file_message<text::kHistoryInvalid>, "Malformed !HISTORY",
     "A !HISTORY line not in the form 0 !HISTORY YYYY-MM-DD [user] comment.",
     "Write it as 0 !HISTORY 2026-01-02 [user] and what changed."},
    {CheckId::kInvalidMeta, "invalid_meta", kFile, false,
     "a line that is no meta at all becomes a comment of the same words",
     valued_message<text::kInvalidMeta>, "Invalid meta line",
     "A meta line the body may not hold: a header meta after the header ended, an unknown "
     "meta, !COLOUR, or a malformed BFC, !TEXMAP or !: line.",
     "Move header lines above the body; make other text a comment with 0 //."},
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
    case MendKind::kCommented:
      return text::kFixedCommented;
    case MendKind::kTilde:
      return text::kFixedTilde;
    case MendKind::kCertifiedCcw:
    case MendKind::kReversed:
      return text::kFixedCertified;
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
    case MendKind::kCommented:
      return "a comment of the same words";
    case MendKind::kTilde:
      return "the description with its leading ~";
    case MendKind::kCertifiedCcw:
    case MendKind::kReversed:
      return "the same file certified CCW, its triangles and quads reversed";
    case MendKind::kNone:
      break;
  }
  return "";
}

}  // namespace skewquad
