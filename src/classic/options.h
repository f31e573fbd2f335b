// The classic command line: options, angle limits and the file name's place.
#pragma once

#include <cstdio>

#include "records/run_records.h"

namespace skewquad {

/// What the classic command line settles.
struct Options {
  AngleLimits limits;
  ModeFlags flags;
  int file_index = 0;   // position of the input file name among the arguments
  int exit_status = 0;  // nonzero when the tool must end (usage or range)
};

/// Reads the options, prints the warnings and the echo of the limits to
/// `console`, and on a usage or range error prints its text (the usage or
/// the range message, each ending in the quit prompt) and sets exit_status;
/// the caller then pauses and exits with it.
Options parse_options(int argc, const char* const* argv, std::FILE* console);

}  // namespace skewquad
