// The library mode: many files and folders checked in one run, in parallel,
// reported in sorted path order.
#pragma once

namespace skewquad {

/// Runs `skewquad --scan ...`; `argv[0]` is "--scan". Returns the exit
/// status: 0 nothing at or above the fail-on level, 4 something is, 2 a path
/// could not be read, 1 usage, 3 an angle out of range.
int run_scan(int argc, const char* const* argv);

}  // namespace skewquad
