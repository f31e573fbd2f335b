// What becomes of a quad line: its fault or the band its warp falls in, and
// how each is counted.
#pragma once

#include <cstdint>
#include <string_view>

#include "check/finding.h"
#include "records/run_records.h"

namespace skewquad {

/// What becomes of a quad line: where it is counted, whether it is reported
/// and whether the copy holds its split.
enum class QuadFate : std::uint8_t {
  kInvalid,           // not fourteen numbers: reported, copied as read
  kIdenticalCorners,  // shape faults, checked in a scan only: reported
  kCollinearCorners,
  kNotConvex,
  kNoBand,   // at most the low angle, or no angle at all: copied as read
  kLow,      // above the low angle, at most the warning angle: counted
  kWarning,  // above the warning angle, at most the error angle: counted, split
  kError,    // above the error angle: counted, reported, split
};

/// The band of a warp angle. Strict comparisons throughout: a quad exactly
/// at a limit falls in the band below it, and one whose angle is no number
/// falls in none.
inline QuadFate band_of(double max, const AngleLimits& limits) {
  if (max > limits.error) return QuadFate::kError;
  if (max > limits.warning) return QuadFate::kWarning;
  if (max > limits.low()) return QuadFate::kLow;
  return QuadFate::kNoBand;
}

/// True for the fates that are faults of the quad line rather than of its
/// warp.
inline bool is_fault(QuadFate fate) { return fate < QuadFate::kNoBand; }

/// True for the fates whose quad the copy replaces by its split.
inline bool is_split(QuadFate fate) {
  return fate == QuadFate::kWarning || fate == QuadFate::kError;
}

/// Counts one quad line of this fate in `tally`.
void count_quad(QuadFate fate, RunTally& tally);

/// The check a reported fate is a finding of.
CheckId check_of(QuadFate fate);

/// The finding of a quad line of this fate (a fault, or a warp above the
/// warning angle, then a warning, or the error angle) on the line `line`.
Finding quad_finding(long long line_number, QuadFate fate, double angle,
                     std::string_view line = {});

}  // namespace skewquad
