// What a finding is called and what it says, the same in every report
// format and in the editor: the check's name, its severity and its message.
#pragma once

#include <cstddef>
#include <string>

#include "check/finding.h"
#include "records/run_records.h"

namespace skewquad {

/// The name of a finding's check, as JSON, SARIF and the editor give it.
const char* check_name(const Finding& finding);

/// "error" or "warning".
const char* severity_of(const Finding& finding);

/// What the text report says of a finding after its severity ("quad warped
/// by 14.32° (error angle 3°)"), or of a mended one after "fixed:"; the
/// degree sign in UTF-8. `conditional` says whether a warped quad's mend has
/// its conditional line.
std::string finding_message(const Finding& finding, const AngleLimits& limits);

/// A check as rules list it: its name, what it finds, and how to mend it.
struct CheckRule {
  const char* name;
  const char* short_description;
  const char* full_description;
  const char* help;
  bool can_warn;  // also reported as a warning (the warp, above the warning angle)
};

/// Every check, each once, in a fixed order.
const CheckRule* check_rules(std::size_t& count);

/// The place of the check named `name` among check_rules().
std::size_t rule_index(const char* name);

}  // namespace skewquad
