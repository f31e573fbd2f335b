#pragma once

#include <cstdio>

#include "driver/line_reader.h"
#include "driver/options.h"
#include "writer/copy_stream.h"

namespace skewquad {

// Where a run stands: the pieces read so far and the quads in each band.
struct RunTally {
  long long line_number = 0;
  long long error_count = 0;    // above the error angle
  long long warning_count = 0;  // above the warning angle, at most the error angle
  long long low_count = 0;      // above the low angle, at most the warning angle
};

// Reads every piece of the input, measures each quad, prints each quad above
// the error angle and each quad line that is not complete to `console`, and,
// when `copy` is given, writes the copy: every piece as read, but a quad
// above the warning angle as its split.
void check_lines(LineReader& input, CopyStream* copy, const AngleLimits& limits,
                 const ModeFlags& flags, RunTally& tally, std::FILE* console);

void print_summary(const RunTally& tally, const AngleLimits& limits, std::FILE* console);

}  // namespace skewquad
