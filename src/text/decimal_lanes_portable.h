// Portable kernel: no lanes; every number is valued one at a time.
// Included by decimal_lanes.h only.
#pragma once

#include "text/plain_decimal.h"

namespace skewquad {

/// Values none of the numbers: the caller values them all.
inline int values_in_lanes(const PlainDecimal* /*numbers*/, int /*count*/, double* /*values*/) {
  return 0;
}

}  // namespace skewquad
