// The one way a file is analysed, whatever asks: the scan, its reports and
// mends, and the editor. A file's text and what the analysis goes by in;
// each finding, with its line's mend, out to a sink.
#pragma once

#include "check/check_loop.h"
#include "check/judge_quad.h"
#include "ldraw/file_checks.h"
#include "ldraw/file_text.h"
#include "ldraw/library.h"
#include "text/line_reader.h"

namespace skewquad {

/// What an analysis goes by.
struct Analysis {
  CheckRules rules;  // limits and groups; the colours come from the library
  MendRules mends;   // whether each line's mend is worked out, and how
  // The library the file belongs to, for its colours; none: unknown colours
  // are not looked for.
  const Library* library = nullptr;
};

/// The rules of the scan's checks for `limits` and `groups`.
CheckRules scan_rules(const AngleLimits& limits, const CheckGroups& groups);

/// Analyses the file `file`, whose text `input` reads from its start:
/// every line checked by the groups of `analysis.rules`, with the
/// library's colours, each finding handed to `sink` in line order with its
/// part in its line's mend (those of the file as a whole at the end); with
/// `edits`, every piece of the file given to it, kept or replaced by its
/// line's mend. Counts in `tally`.
/// The checks of the file as a whole are made on a part (*.dat): a reading
/// without `edits` leaves in `facts`, if given, what a reading that writes
/// the mends goes by; a reading with `edits` goes by `facts`, if given.
void analyse_file(LineReader& input, const FileText& file, const Analysis& analysis,
                  RunTally& tally, FindingSink& sink, LineEdits* edits = nullptr,
                  FileFacts* facts = nullptr);

}  // namespace skewquad
