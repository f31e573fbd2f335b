// The rules of a run, worked out once.
#include "check/judge_quad.h"

namespace skewquad {

CheckRules check_rules_for(const AngleLimits& limits, CheckMode mode) {
  return {limits, sine_surely_below(limits.low()), mode, {}};
}

}  // namespace skewquad
