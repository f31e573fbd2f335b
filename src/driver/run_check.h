// The classic check run: one file, its report and summary, the pause.
#pragma once

#include "records/run_records.h"

namespace skewquad {

/// Checks the file `input_name`, writing the copy to `output_name` unless it
/// is null; prints the report and the summary, pauses, and returns the exit
/// status: 0 when the file was processed to the end, 2 when a file could
/// not be opened, created, read or written.
int run_check(const char* input_name, const char* output_name, const AngleLimits& limits,
              const ModeFlags& flags);

}  // namespace skewquad
