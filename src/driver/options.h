#pragma once

#include <cstdio>

namespace skewquad {

// The angles, in degrees, that sort quads into bands.
struct AngleLimits {
  double warning = 1.0;
  double error = 3.0;
  double low = 0.1;  // warning * 0.1, set once the warning angle is final
};

// The limits that parts certification expects; exact equality is meant.
inline constexpr double kStandardWarningAngle = 1.0;
inline constexpr double kStandardErrorAngle = 3.0;

inline bool are_standard(const AngleLimits& limits) {
  return limits.warning == kStandardWarningAngle && limits.error == kStandardErrorAngle;
}

struct ModeFlags {
  bool auto_split = false;      // -c: replace warped quads by their split
  bool no_conditional = false;  // -o: leave the conditional line out
};

struct Options {
  AngleLimits limits;
  ModeFlags flags;
  int file_index = 0;   // position of the input file name among the arguments
  int exit_status = 0;  // nonzero when the tool must end: 1 usage, 3 range
};

// Reads the options, prints the warnings and the echo of the limits to
// `console`, and on a usage or range error prints its text (the usage or the
// range message, each ending in the quit prompt) and sets exit_status; the
// caller then pauses and exits with it.
Options parse_options(int argc, const char* const* argv, std::FILE* console);

void print_usage(std::FILE* console);

}  // namespace skewquad
