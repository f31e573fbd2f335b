// The records a check run shares between the check core and the writer: the
// angle limits, the mode flags and the tally of what a run has found.
#pragma once

namespace skewquad {

// The limits that parts certification expects; exact equality is meant.
inline constexpr double kStandardWarningAngle = 1.0;
inline constexpr double kStandardErrorAngle = 3.0;

/// The angles, in degrees, that sort quads into bands.
struct AngleLimits {
  double warning = kStandardWarningAngle;
  double error = kStandardErrorAngle;

  /// The top of the planar-enough band: a tenth of the warning angle.
  double low() const { return warning * 0.1; }
};

/// True when the limits are exactly the ones certification expects.
inline bool are_standard(const AngleLimits& limits) {
  return limits.warning == kStandardWarningAngle && limits.error == kStandardErrorAngle;
}

/// What the copy holds for a warped quad.
struct ModeFlags {
  bool auto_split = false;      // -c: replace warped quads by their split
  bool no_conditional = false;  // -o: leave the conditional line out
};

/// Where a run stands: the lines read so far and the quads in each band.
struct RunTally {
  long long line_number = 0;
  long long quad_count = 0;         // quad lines read, complete or not
  long long fault_count = 0;        // quad lines refused before their warp is measured
  long long error_count = 0;        // above the error angle
  long long warning_count = 0;      // above the warning angle, at most the error angle
  long long low_count = 0;          // above the low angle, at most the warning angle
  long long line_faults = 0;        // faults of the line checks beyond the quads'
  long long mended_lines = 0;       // lines with a mend
  long long resolved_errors = 0;    // findings at the error level their lines' mends settle
  long long resolved_warnings = 0;  // quads above the warning angle their mends settle
};

}  // namespace skewquad
