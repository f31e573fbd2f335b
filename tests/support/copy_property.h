// The promises the line loop owes its input: a lossless copy and an honest report.
#pragma once

#include <string>
#include <string_view>

#include "records/run_records.h"

namespace skewquad::testing {

// What one run of the line loop over `input` produced.
struct LoopRun {
  std::string copy;
  std::string console;
  RunTally tally;
};

// Runs the line loop over `input` in memory-backed temporary files.
LoopRun run_loop(std::string_view input, const AngleLimits& limits, const ModeFlags& flags);

// Checks that `run` is what the loop owes its input: the copy holds every
// input piece in order, each warped quad followed by its note and split (or,
// with auto_split, replaced by its split), every written line ending as the
// quad line did; and the console reports each quad above the error angle
// once, in increasing line order. Returns what is wrong, or nothing.
std::string copy_and_console_faults(std::string_view input, const LoopRun& run,
                                    const AngleLimits& limits, const ModeFlags& flags);

}  // namespace skewquad::testing
