// Checks of a file as a whole, made beside the checks of each line: the
// line loop tells them every line in order, hands over what they find on a
// line with that line's other findings, writes the mends they give, and at
// the end of the file lets them hand over what they find of the file
// itself.
#pragma once

#include <string>
#include <string_view>

#include "check/finding.h"
#include "check/line_checks.h"
#include "records/run_records.h"

namespace skewquad {

/// What the checks of a file as a whole find on one of its lines, and how
/// they mend it.
struct FileLineVerdict {
  static constexpr int kMostFaults = 3;
  LineFault found[kMostFaults];  // NOLINT: filled up to `faults`
  int faults = 0;
  // The line's mend, carried by the finding at `carrier`; with no carrier
  // (-1) a finding of the file as a whole tells it.
  MendKind mend = MendKind::kNone;
  int carrier = -1;
  std::string_view replacement;  // valid until the next line is told
};

class FileHook {
 public:
  /// The first piece of the `number`th line, `whole` when it is all of the
  /// line. A longer line is checked once its last piece is told to rest().
  virtual const FileLineVerdict& line(long long number, std::string_view piece, bool whole) = 0;

  /// Each further piece of a line longer than a piece: the line's faults
  /// once its last piece is told, never a mend.
  virtual const FileLineVerdict& rest(std::string_view piece) = 0;

  /// True while the triangles and quads are to be written with their
  /// corners in the reverse order.
  virtual bool reversing() const = 0;

  /// While reversing: appends `text`, a line as mended so far, with each
  /// triangle and quad in it reversed, and says whether any was. A line
  /// too long to be mended (`whole` false) cannot be, and stops the
  /// reversal of the file. `counted`: the line is counted as mended
  /// already.
  virtual bool reverse(std::string_view text, bool whole, bool counted, std::string& out) = 0;

  /// At the end of the file: hands `sink` the findings of the file as a
  /// whole (on line 0), and those of lines only known now, counting them
  /// in `tally`.
  virtual void finish(RunTally& tally, FindingSink& sink) = 0;

 protected:
  FileHook() = default;
  FileHook(const FileHook&) = default;
  FileHook& operator=(const FileHook&) = default;
  ~FileHook() = default;
};

}  // namespace skewquad
