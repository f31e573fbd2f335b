// The warp measure written the plain way, as a yardstick for tests: corners
// read by strtod, the fold arithmetic spelt out operation by operation, the
// arcsine in long double. Built without fused multiply-adds whatever the
// rest of the build uses, so that it stays the arithmetic the tool promises.
#pragma once

#include <optional>
#include <string_view>

namespace skewquad::testing {

/// The two folds and the larger, in degrees, as the tool must compute them.
struct PlainWarp {
  double fold_24 = 0.0;
  double fold_13 = 0.0;
  double max = 0.0;
};

/// The warp of the quad with these twelve coordinates (x y z of P1..P4).
PlainWarp plain_warp(const double (&coordinates)[12]);

/// The warp of a quad line whose fourteen fields strtod reads whole, each a
/// word of its own; nothing for any other line.
std::optional<PlainWarp> plain_warp_of_line(std::string_view line);

}  // namespace skewquad::testing
