// The number scanners, the line probe, the quad parse and the tidy-word
// locator on arbitrary bytes. Besides not crashing, every number read must
// be the one the C library's strtod reads from the same characters, and
// every line the locator takes as tidy must be so word by word.

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "geometry/warp.h"
#include "text/line_words.h"
#include "text/quad_line_reader.h"
#include "text/quad_words.h"
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

// A line the locator takes, with every number up to `numbers_end` plain
// and tidy, must hold that many words or more, each of those a number
// with no needless zero and at most five digits after the point.
void check_tidy_words(std::string_view text, int numbers_end) {
  std::string buffer(text);
  buffer.append(skewquad::kQuadLinePadding, '0');
  skewquad::QuadWords words;
  const int count =
      skewquad::locate_tidy_words(std::string_view(buffer.data(), text.size()), numbers_end, words);
  if (count == 0) return;
  const skewquad::LineWords split = skewquad::split_words(text, skewquad::LineWords::kMostWords);
  if (count < numbers_end ||
      (split.count < skewquad::LineWords::kMostWords && split.count != count)) {
    std::abort();
  }
  for (int i = 2; i < numbers_end; ++i) {
    const skewquad::NumberForm form = skewquad::number_form(split.words[i]);
    if (!form.is_number || form.exponent || form.trailing_zero || form.leading_zero ||
        form.fraction_digits >= 6) {
      std::abort();
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
  for (const int numbers_end : {8, 11, 14}) check_tidy_words(text, numbers_end);
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
