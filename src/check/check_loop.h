// The line loop of a check run: every piece of the input read, every quad
// judged, counted and handed to the sink, and the copy written.
#pragma once

#include "check/finding.h"
#include "check/judge_quad.h"
#include "records/run_records.h"
#include "text/line_reader.h"
#include "writer/copy_stream.h"

namespace skewquad {

/// Reads every piece of the input, judges each quad line by `rules`, counts
/// it in `tally` and hands `sink` the findings (each faulty quad line and
/// each quad above the warning angle), and, when `copy` is given, writes the
/// copy: every piece as read, but a quad above the warning angle as its
/// split. In the classic mode every piece of at most 1,023 characters counts
/// as a line and is probed for a quad; in the library mode a line is a
/// physical line, whatever its length, and only its first piece is probed.
void check_lines(LineReader& input, CopyStream* copy, const CheckRules& rules,
                 const ModeFlags& flags, RunTally& tally, FindingSink& sink);

/// Which findings a mending run mends: those at the error level (every
/// fault and every quad above the error angle), or those and the quads above
/// the warning angle.
enum class MendLevel : std::uint8_t { kErrors, kWarnings };

/// Where a mending run's bytes go: each piece as read, or a whole line
/// replaced by its mend.
class LineEdits {
 public:
  virtual void keep(std::string_view piece) = 0;
  virtual void replace(std::string_view line, std::string_view replacement) = 0;

 protected:
  LineEdits() = default;
  LineEdits(const LineEdits&) = default;
  LineEdits& operator=(const LineEdits&) = default;
  ~LineEdits() = default;
};

/// The library mode's loop when mending: as check_lines in the library
/// mode, but each finding at or above `level` that has a mend, on a line no
/// longer than a piece, is handed to the sink as mended and its line to
/// `edits` with its replacement (a warped quad's split, with the
/// conditional line unless `conditional` is false; a shape fault's
/// triangles); every other piece goes to `edits` as read.
void mend_lines(LineReader& input, const CheckRules& rules, MendLevel level, bool conditional,
                RunTally& tally, FindingSink& sink, LineEdits& edits);

}  // namespace skewquad
