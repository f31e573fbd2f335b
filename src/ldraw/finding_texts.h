// Every text that says what a finding is, in one list: the messages each
// report format and the editor show, and the rules that describe the checks.
// The degree sign is UTF-8.
#pragma once

namespace skewquad::text {

// Angles are written as "%.4lg" writes them, and limits as "%.7lg".
inline constexpr char kWarpAboveError[] = "quad warped by %s\xC2\xB0 (error angle %s\xC2\xB0)";
inline constexpr char kWarpAboveWarning[] = "quad warped by %s\xC2\xB0 (warning angle %s\xC2\xB0)";
inline constexpr char kInvalidQuadLine[] = "invalid quad line";
inline constexpr char kIdenticalQuad[] = "quad has identical corners";
inline constexpr char kCollinearQuad[] = "quad has collinear corners";
inline constexpr char kNotConvexQuad[] = "quad is not convex (concave or bow-tie)";

inline constexpr char kInvalidLine[] = "invalid line of type %d";
inline constexpr char kUnknownColour[] = "unknown colour %.*s";
inline constexpr char kColour24[] = "%s in colour 24";
inline constexpr char kNotEdgeColour[] = "%s not in the edge colour 24 (colour %.*s)";
inline constexpr char kIdenticalPoints[] = "%s has identical points";
inline constexpr char kIdenticalTriangle[] = "triangle has identical corners";
inline constexpr char kCollinearTriangle[] = "triangle has collinear corners";
inline constexpr char kSingular[] = "sub-file reference has a singular matrix";
inline constexpr char kDecimals[] = "number %.*s has 6 or more decimals";
inline constexpr char kTrailingZeros[] = "number %.*s has trailing zeros";
inline constexpr char kLeadingZeros[] = "number %.*s has a leading zero";
// What each line type draws, as the messages name it.
inline constexpr const char* kLineTypeNames[] = {"",     "sub-file reference", "line", "triangle",
                                                 "quad", "conditional line"};

// The checks of a file as a whole; %.*s is the value at fault.
inline constexpr char kMissingDescription[] =
    "no description: the file's first line must be 0 and the part's description";
inline constexpr char kMissingName[] = "no Name: line (0 Name: and the file's name)";
inline constexpr char kMissingAuthor[] =
    "no author named (0 Author: and a name, with [user] where the author is registered)";
inline constexpr char kMissingLdrawOrg[] =
    "no well-formed !LDRAW_ORG line (0 !LDRAW_ORG and the part type)";
inline constexpr char kMissingLicense[] = "no !LICENSE line with its text";
inline constexpr char kLicenseNotApproved[] =
    "licence \"%.*s\" is none of the approved texts (as Licensed under CC BY 4.0 : see "
    "CAreadme.txt)";
inline constexpr char kNameMismatch[] = "the Name is not the file's own name: %.*s";
inline constexpr char kNameMismatchValue[] = "%s in the file %s";
inline constexpr char kNameTypeMismatch[] = "the Name does not fit the part type: %.*s";
inline constexpr char kNameTypeMismatchValue[] = "%s, expected %s";
inline constexpr char kFolderTypeMismatch[] = "the file's folder does not fit its part type: %.*s";
inline constexpr char kFolderTypeMismatchValue[] = "a %s belongs in %s";
inline constexpr char kNameInvalidChars[] =
    "Name: holds a character certification refuses (a control, format or private-use one)";
inline constexpr char kXPrefixName[] = "the Name %.*s begins with x, which no new part's may";
inline constexpr char kBfcNotCcw[] = "the header must hold 0 BFC CERTIFY CCW, not %.*s";
inline constexpr char kNoBfc[] =
    "the header must hold 0 BFC CERTIFY CCW, and holds no BFC CERTIFY line";
inline constexpr char kCategoryInvalid[] = "no valid category: \"%.*s\" is none of the library's";
inline constexpr char kNoCategory[] =
    "no category given (0 !CATEGORY, or the description's first word)";
inline constexpr char kDescriptionInvalidChars[] =
    "the description holds a character certification refuses (a control, format or "
    "private-use one)";
inline constexpr char kSubpartNoTilde[] = "a subpart's description must begin with ~";
inline constexpr char kMovedObsoleteNoTilde[] =
    "a moved or obsolete part's description must begin with ~";
inline constexpr char kAliasNoEquals[] = "an alias's description must begin with =";
inline constexpr char kThirdPartyNoPipe[] =
    "a third-party part's description (its name begins with t) must begin with |";
inline constexpr char kObsoleteImproper[] =
    "the category and the description disagree on whether the part is obsolete";
inline constexpr char kPatternNotInDescription[] =
    "a pattern part's description must end in Pattern";
inline constexpr char kPatternWithoutSetKeyword[] =
    "a pattern part needs a set keyword (0 !KEYWORDS Set ..., CMF ... or Build-A-Minifigure)";
inline constexpr char kPhysicalColour[] = "Physical_Colour is for obsolete parts only";
inline constexpr char kAliasNotInParts[] = "Alias is for parts and shortcuts only";
inline constexpr char kFlexNotPart[] = "Flexible_Section is for parts only";
inline constexpr char kFlexSuffix[] =
    "a flexible section's name must end in k and two letters or digits (as 73590k01.dat)";
inline constexpr char kSelfReference[] = "the line uses the file itself";
inline constexpr char kHistoryInvalid[] =
    "malformed !HISTORY line (0 !HISTORY YYYY-MM-DD, [user] or {name}, then a comment)";
inline constexpr char kInvalidMeta[] = "a meta line the body may not hold: %.*s";

// A finding mended (by --fix, or that --diff or a quick fix would mend).
inline constexpr char kFixedWarp[] = "quad split into two triangles (warped by %s\xC2\xB0)";
inline constexpr char kFixedConcave[] = "concave quad split into two triangles";
inline constexpr char kFixedIdentical[] = "quad with identical corners replaced by a triangle";
inline constexpr char kFixedCollinear[] = "quad with collinear corners replaced by a triangle";
inline constexpr char kFixedZeros[] = "%s written without needless zeros";
inline constexpr char kFixedZerosToo[] = "; %s written without needless zeros";
// Which numbers lost their needless zeros.
inline constexpr char kOneNumber[] = "number %.*s";
inline constexpr char kSeveralNumbers[] = "%d numbers, %.*s the first,";
inline constexpr char kFixedRemoved[] = "%s that draws nothing removed";
inline constexpr char kFixedCommented[] = "meta line no part may hold made a comment";
inline constexpr char kFixedTilde[] = "subpart's description given its leading ~";
inline constexpr char kFixedCertified[] =
    "BFC CERTIFY CW made CCW, every triangle and quad written in the reverse order of its "
    "corners";

}  // namespace skewquad::text
