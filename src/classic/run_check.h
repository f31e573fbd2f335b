// The classic check run: one file, its report and summary.
#pragma once

#include "records/run_records.h"

namespace skewquad {

/// Checks the file `input_name`, writing the copy to `output_name` unless it
/// is null; prints the report, the summary and the quit prompt, and returns
/// the exit status: success when the file was processed to the end,
/// exit_status::kFile when a file could not be opened, created, read or
/// written. The caller pauses.
int run_check(const char* input_name, const char* output_name, const AngleLimits& limits,
              const ModeFlags& flags);

}  // namespace skewquad
