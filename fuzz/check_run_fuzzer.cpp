// The whole line loop over an arbitrary file, in every mode. The first byte
// chooses the mode and the limits; the rest is the file. The copy and the
// console must keep every promise the property test checks.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "copy_property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t choice = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const skewquad::ModeFlags flags{(choice & 1) != 0, (choice & 2) != 0};
  static const skewquad::AngleLimits kLimits[] = {{1.0, 3.0}, {0.5, 2.0}, {3.0, 3.0}, {1e-9, 89.9}};
  const skewquad::AngleLimits& limits = kLimits[(choice >> 2) & 3];
  const skewquad::testing::LoopRun run = skewquad::testing::run_loop(input, limits, flags);
  const std::string faults = skewquad::testing::copy_and_console_faults(input, run, limits, flags);
  if (!faults.empty()) {
    std::fprintf(stderr, "%s\n", faults.c_str());
    std::abort();
  }
  return 0;
}
