#pragma once

#include "driver/options.h"

namespace skewquad {

// Checks the file named at argv[file_index], writing the copy to the next
// argument if there is one; prints the report and the summary, pauses, and
// returns the exit status: 0 when the file was processed to the end, 2 when
// a file could not be opened, created, read or written.
int run_check(int argc, const char* const* argv, int file_index, const AngleLimits& limits,
              const ModeFlags& flags);

}  // namespace skewquad
