// The first line feed from a point, by whichever kernel the target has.
// Each defines find_line_feed(p, limit): the first line feed at or after `p`
// and before `limit`, or `limit`.
#pragma once

#include "text/simd.h"

#if SKEWQUAD_USE_SSE2
#include "text/line_feeds_sse2.h"
#else
#include "text/line_feeds_portable.h"
#endif
