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

}  // namespace skewquad
