// The number scanners, the line probe and the quad parse on arbitrary bytes.
// Besides not crashing, every number read must be the one the C library's
// strtod reads from the same characters.

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "geometry/warp.h"
#include "text/quad_line_reader.h"
#include "text/read_ahead.h"
#include "text/scanf_numbers.h"

namespace {

void check_double(std::string_view text) {
  double value = 0.0;
  const char* stop = skewquad::scan_double(text, value);
  if (stop == nullptr) return;
  const std::string consumed(text.data(), stop);
  char* reference_stop = nullptr;
  const double reference = std::strtod(consumed.c_str(), &reference_stop);
  if (reference_stop != consumed.c_str() + consumed.size() ||
      std::bit_cast<std::uint64_t>(reference) != std::bit_cast<std::uint64_t>(value)) {
    std::abort();
  }
}

bool same_bits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Reading the line where it lies, with bytes after it, must agree with the
// parse: the same numbers, or a coordinate plane the parse measures as flat.
void check_read_in_place(std::string_view text, bool parsed, const skewquad::QuadLine& expected) {
  std::string buffer(text);
  buffer.append(skewquad::kQuadLinePadding, '7');
  skewquad::QuadLine quad;
  const skewquad::QuadReading reading =
      skewquad::read_quad(std::string_view(buffer.data(), text.size()), quad);
  if ((reading != skewquad::QuadReading::kIncomplete) != parsed) std::abort();
  if (reading == skewquad::QuadReading::kInCoordinatePlane) {
    const double max = skewquad::measure_warp(expected).max;
    if (max != 0.0 && max == max) std::abort();
  } else if (reading == skewquad::QuadReading::kParsed) {
    for (int corner = 0; corner < 4; ++corner) {
      if (!same_bits(quad.corners[corner].x, expected.corners[corner].x) ||
          !same_bits(quad.corners[corner].y, expected.corners[corner].y) ||
          !same_bits(quad.corners[corner].z, expected.corners[corner].z)) {
        std::abort();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::int32_t integer = 0;
  skewquad::scan_int(text, integer);
  check_double(text);
  skewquad::probe_line_type(text);
  skewquad::QuadLine quad;
  const bool parsed = skewquad::parse_quad(text, quad);
  check_read_in_place(text, parsed, quad);
  if (parsed) {
    const skewquad::WarpMeasure measure = skewquad::measure_warp(quad);
    if (measure.max < 0.0 || measure.max > 90.00001) std::abort();
    if (!quad.hex_colour_text.empty() &&
        (quad.hex_colour_text.data() < text.data() ||
         quad.hex_colour_text.data() + quad.hex_colour_text.size() > text.data() + text.size())) {
      std::abort();
    }
  }
  return 0;
}
