// The angle limits as both command lines settle them: the range each angle
// must lie in, and the warning angle lowered to the error angle.
#pragma once

#include "records/run_records.h"

namespace skewquad {

/// True for an angle a limit may take: greater than 0 and less than 90
/// degrees (not a number is refused).
bool is_angle_in_range(double degrees);

/// The limits a run uses, settled from the angles given.
struct SettledLimits {
  AngleLimits limits;
  int exit_status = 0;                // exit_status::kRange when an angle is out of range
  bool warning_out_of_range = false;  // which angle, when one is: the warning angle first
  bool warning_lowered = false;       // the warning angle was above the error angle
};

/// Checks both angles (the warning angle first), then lowers a warning
/// angle above the error angle to it. Every limit of a settled run is
/// positive, which the check core relies on.
SettledLimits settle_limits(double warning, double error);

}  // namespace skewquad
