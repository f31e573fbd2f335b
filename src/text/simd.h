// Whether the vector paths are built: SSE2 where the target has it, unless
// the build asks for the portable paths alone (cmake -DSKEWQUAD_SIMD=OFF).
// Every path gives the same results; only the speed differs.
#pragma once

#if defined(__SSE2__) && !defined(SKEWQUAD_NO_SIMD)
#define SKEWQUAD_USE_SSE2 1
#include <emmintrin.h>
#else
#define SKEWQUAD_USE_SSE2 0
#endif
