// The line loop of a check run: every piece of the input read, every quad
// judged, counted and reported, and the copy written.
#pragma once

#include <cstdio>
#include <functional>

#include "driver/bands.h"
#include "driver/quad_fate.h"
#include "records/run_records.h"
#include "text/line_reader.h"
#include "writer/copy_stream.h"

namespace skewquad {

/// A quad line the loop reports: where it stands, its fate and, for a
/// warped quad, its angle.
struct QuadReport {
  long long line_number = 0;
  QuadFate fate = QuadFate::kNoBand;
  double angle = 0.0;
};

/// Told of every faulty quad line and every quad above the warning angle,
/// in line order, as the loop reads them.
using ReportQuad = std::function<void(const QuadReport&)>;

/// Reads every piece of the input, judges each quad line by `sieve`, counts
/// it in `tally` and tells `report` of those it reports, and, when `copy` is
/// given, writes the copy: every piece as read, but a quad above the
/// warning angle as its split.
void check_lines(LineReader& input, CopyStream* copy, const QuadSieve& sieve,
                 const ModeFlags& flags, RunTally& tally, const ReportQuad& report);

/// The classic console report of a quad: each invalid quad line and each
/// quad above the error angle, at the moment it is read.
void print_quad_report(const QuadReport& report, std::FILE* console);

}  // namespace skewquad
