// Settling the angle limits.
#include "check/limits.h"

#include "check/exit_status.h"

namespace skewquad {

bool is_angle_in_range(double degrees) { return degrees > 0.0 && degrees < 90.0; }

SettledLimits settle_limits(double warning, double error) {
  SettledLimits settled;
  settled.limits = {warning, error};
  if (!is_angle_in_range(warning) || !is_angle_in_range(error)) {
    settled.exit_status = exit_status::kRange;
    settled.warning_out_of_range = !is_angle_in_range(warning);
    return settled;
  }
  if (warning > error) {
    settled.limits.warning = error;
    settled.warning_lowered = true;
  }
  return settled;
}

}  // namespace skewquad
