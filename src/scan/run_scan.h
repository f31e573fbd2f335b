// The scan: many files and folders checked in one run, in parallel,
// reported in sorted path order.
#pragma once

namespace skewquad {

/// Runs `skewquad --scan ...`; `argv[0]` is "--scan". Returns the exit
/// status (check/exit_status.h).
int run_scan(int argc, const char* const* argv);

}  // namespace skewquad
