// Plain decimals valued in vector lanes where the target has them. Each
// kernel defines values_in_lanes(numbers, count, values).
#pragma once

#include "text/simd.h"

#if SKEWQUAD_USE_SSE2
#include "text/decimal_lanes_sse2.h"
#else
#include "text/decimal_lanes_portable.h"
#endif
