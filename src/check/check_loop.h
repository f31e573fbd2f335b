// The line loops of the check core: the classic run's, which reads every
// piece and writes the copy, and the scan's, which checks every physical
// line by the groups asked for and works out the mend of each line that
// has one.
#pragma once

#include "check/file_hook.h"
#include "check/finding.h"
#include "check/judge_quad.h"
#include "records/run_records.h"
#include "text/line_reader.h"
#include "writer/copy_stream.h"

namespace skewquad {

/// The classic loop: reads every piece of the input (of at most 1,023
/// characters, each counted as a line and probed for a quad), judges each
/// quad line by `rules`, counts it in `tally` and hands `sink` each invalid
/// quad line and each quad above the warning angle, and, when `copy` is
/// given, writes the copy: every piece as read, but a quad above the
/// warning angle as its split.
void check_lines(LineReader& input, CopyStream* copy, const CheckRules& rules,
                 const ModeFlags& flags, RunTally& tally, FindingSink& sink);

/// Which findings a mend is worked out for: those at the error level (every
/// fault and every quad above the error angle), or those and the quads above
/// the warning angle.
enum class MendLevel : std::uint8_t { kErrors, kWarnings };

/// Whether, and how, the scan's loop works out the mend of each line.
struct MendRules {
  bool mends = false;
  MendLevel level = MendLevel::kErrors;
  bool conditional = true;  // a warped quad's mend holds the conditional line along the cut
};

/// Where the bytes of a file go when its mends are applied: each piece as
/// read, or a whole line replaced by its mend.
class LineEdits {
 public:
  virtual void keep(std::string_view piece) = 0;
  /// The line `line` replaced by `replacement`, a mend of this kind.
  virtual void replace(std::string_view line, std::string_view replacement, MendKind kind) = 0;

 protected:
  LineEdits() = default;
  LineEdits(const LineEdits&) = default;
  LineEdits& operator=(const LineEdits&) = default;
  ~LineEdits() = default;
};

/// The scan's loop: a line is a physical line, whatever its length, and
/// only its first piece is probed. Each line is checked by the groups of
/// `rules` (a quad's shape before its warp), counted in `tally`, and its
/// findings handed to `sink` in the order they are found. With
/// `mends.mends`, each line whose findings at the mend level can be mended
/// without changing what is drawn gets one mend, which holds all of them:
/// - a line or triangle whose points are the same goes;
/// - needless zeros are dropped (the same numbers, every other byte kept);
/// - a warped quad becomes its split along the diagonal with the smaller
///   fold, a concave quad two triangles through its reflex corner, a quad
///   with one repeated or straight corner the triangle of the other three,
///   each corner written with its words on the line (after their needless
///   zeros are dropped), in the quad's colour as written and its winding.
/// The mend is told with one finding of its line (its carrier); the others
/// it settles are marked resolved. A line longer than a piece is left to
/// the author. When `edits` is given, every piece goes to it: kept, or its
/// line replaced by its mend.
/// With `file`, the checks of the file as a whole are told every line: the
/// faults they find on a line come after its others, they mend the lines
/// no other check mends, while they are reversing every triangle and quad
/// is written with its corners in the reverse order, and at the end the
/// findings of the file as a whole are handed over.
void analyse_lines(LineReader& input, const CheckRules& rules, const MendRules& mends,
                   RunTally& tally, FindingSink& sink, LineEdits* edits = nullptr,
                   FileHook* file = nullptr);

}  // namespace skewquad
