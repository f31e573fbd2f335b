// What the check core finds in a file, and the sink it hands each finding
// to: the core never prints, each front end and output format gives a sink.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace skewquad {

/// Every check a finding can come from. The LDraw floor's catalogue of
/// checks gives each its name, group, messages and rule, in this order.
enum class CheckId : std::uint8_t {
  kInvalid,        // not its type's count of numbers (and a name, for type 1)
  kIdentical,      // two points that must differ are the same
  kCollinear,      // a corner straight or folded back
  kNotConvex,      // a quad concave or crossing itself
  kWarp,           // a quad folded above the warning or error angle
  kUnknownColour,  // neither a direct colour nor one the library defines
  kColour24,       // the edge colour on a sub-file, triangle or quad
  kEdgeColour,     // a line or conditional line not in the edge colour
  kSingular,       // a sub-file's placement has no inverse
  kDecimals,       // a number with six or more digits after the point
  kTrailingZeros,  // a fraction that ends in 0
  kLeadingZeros,   // a needless 0 before the first digit
  // The checks of a file as a whole: its header, its metas, its name.
  kMissingDescription,
  kMissingName,
  kMissingAuthor,
  kMissingLdrawOrg,
  kMissingLicense,
  kLicenseNotApproved,
  kNameMismatch,
  kNameTypeMismatch,
  kFolderTypeMismatch,
  kNameInvalidChars,
  kXPrefixName,
  kBfcNotCcw,
  kCategoryInvalid,
  kDescriptionInvalidChars,
  kSubpartNoTilde,
  kMovedObsoleteNoTilde,
  kAliasNoEquals,
  kThirdPartyNoPipe,
  kObsoleteImproper,
  kPatternNotInDescription,
  kPatternWithoutSetKeyword,
  kPhysicalColour,
  kAliasNotInParts,
  kFlexNotPart,
  kFlexSuffix,
  kSelfReference,
  kHistoryInvalid,
  kInvalidMeta,
};

/// How many checks there are.
inline constexpr int kCheckCount = static_cast<int>(CheckId::kInvalidMeta) + 1;

enum class Severity : std::uint8_t { kError, kWarning };

/// What the mend of a line does to it.
enum class MendKind : std::uint8_t {
  kNone,
  kWarpSplit,          // two triangles along the diagonal with the smaller fold
  kConcaveSplit,       // two triangles along the diagonal through the reflex corner
  kIdenticalTriangle,  // the triangle of a quad's three distinct corners
  kCollinearTriangle,  // the triangle of a quad's corners but the straight one
  kRemoved,            // the line draws nothing and goes
  kZeros,              // its numbers written without their needless zeros
  kCommented,          // a meta line no part may hold made a comment
  kTilde,              // a subpart's description given its leading ~
  kCertifiedCcw,       // BFC CERTIFY CW made CCW, the corners of the file reversed
  kReversed,           // a triangle or quad written with its corners reversed
};

/// The lines a mend of a file as a whole replaces: read again when asked,
/// rather than held.
class LineReplacements {
 public:
  /// Tells `take` each line replaced, in line order: its number, its text
  /// as it is (with its end) and what replaces it. False when the file
  /// could not be read again.
  virtual bool for_each(const std::function<void(long long line, std::string_view was,
                                                 std::string_view replacement)>& take) const = 0;

 protected:
  LineReplacements() = default;
  LineReplacements(const LineReplacements&) = default;
  LineReplacements& operator=(const LineReplacements&) = default;
  ~LineReplacements() = default;
};

/// A finding's part in the mend of its line. A line has at most one mend,
/// told with one of its findings; the others it settles are marked so.
enum class MendRole : std::uint8_t {
  kNone,      // left to the author
  kCarrier,   // the mend of its line is told with it
  kResolved,  // settled by the mend told with another finding of its line
};

/// What replaces a line.
struct LineMend {
  MendKind kind = MendKind::kNone;
  bool zeros_too = false;        // a quad's mend whose numbers also lost needless zeros
  int zero_numbers = 0;          // numbers written without needless zeros
  std::string_view first_zeros;  // the first of them, as it was written
  // The lines that replace it, each ended; empty: the line goes.
  std::string_view replacement;
  // A finding of the file as a whole (on line 0): the lines its mend
  // replaces, valid while the sink is told.
  const LineReplacements* lines = nullptr;
};

/// A fault found on a line: where it stands, which check found it and what
/// is wrong; with its line's mend when it carries one.
struct Finding {
  long long line_number = 0;
  CheckId check = CheckId::kWarp;
  Severity severity = Severity::kError;
  double angle = 0.0;  // a warped quad's fold
  int line_type = 4;
  std::string_view text;  // the number or colour at fault, valid while the sink is told
  std::string_view line;  // the line (or texture-map geometry) at fault, as read
  MendRole role = MendRole::kNone;
  LineMend mend;        // the carrier's
  bool mended = false;  // its file now holds its line's mend
};

/// Told of every finding, in line order, as the loop reads them; at the
/// end of a file, those only known then: of the file as a whole (line 0),
/// and of lines that named the file before its name was read.
class FindingSink {
 public:
  virtual void take(const Finding& finding) = 0;

 protected:
  FindingSink() = default;
  FindingSink(const FindingSink&) = default;
  FindingSink& operator=(const FindingSink&) = default;
  ~FindingSink() = default;
};

/// A sink that drops what it is told.
class NoFindings final : public FindingSink {
 public:
  void take(const Finding& /*finding*/) override {}
};

}  // namespace skewquad
