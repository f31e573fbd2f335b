// The catalogue of checks: one row per check, with everything every report
// format and the editor say of it, so that a check is described in one
// place.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "check/finding.h"
#include "records/run_records.h"

namespace skewquad {

/// The groups of checks, as --checks names them.
enum class CheckGroup : std::uint8_t {
  kQuads = 1,
  kLines = 2,
  kNumbers = 4,
  kColours = 8,
  kFile = 16,
};

/// One check: what it is called, when it runs, how it is reported and how
/// it is mended.
struct CheckEntry {
  CheckId id;
  const char* name;    // as JSON, SARIF and the editor give it
  unsigned groups;     // the CheckGroup bits of the groups that make it
  bool can_warn;       // also reported as a warning (a warp above the warning angle)
  const char* mended;  // how a finding of it is mended, or nullptr: the author's
  // What it says of a finding ("quad warped by 14.32° (error angle 3°)").
  std::string (*message)(const Finding& finding, const AngleLimits& limits);
  // The rule as SARIF describes it.
  const char* short_description;
  const char* full_description;
  const char* help;
};

/// Every check, in the order of CheckId.
std::span<const CheckEntry> catalogue();

/// The row of `check`.
const CheckEntry& entry_of(CheckId check);

/// The name of `check`.
inline const char* check_name(CheckId check) { return entry_of(check).name; }

/// "error" or "warning".
const char* severity_name(Severity severity);

/// What the reports say of a finding after its severity, as it was found;
/// the degree sign in UTF-8.
std::string finding_message(const Finding& finding, const AngleLimits& limits);

/// What the mend a finding carries does to its line ("quad split into two
/// triangles (warped by 14.32°)"), as the reports say it after "fixed:".
std::string mend_message(const Finding& finding);

/// What the line of a finding that carries a mend becomes ("2 triangles and
/// a conditional line", "nothing").
const char* became(const Finding& finding, bool conditional);

}  // namespace skewquad
