#include "geometry/quad.h"

#include <cstring>

#include "geometry/number_scan.h"

namespace skewquad {
namespace {

bool is_hex_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint32_t hex_digit_value(char c) {
  if (c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
  return static_cast<std::uint32_t>(c - 'a' + 10);
}

// A colour is either a decimal integer or an LDraw direct colour, 0x or 0X
// followed by hexadecimal digits. The hexadecimal text is kept as written.
const char* scan_colour(const char* p, const char* end, QuadLine& quad) {
  p = skip_scan_space(p, end);
  const bool hexadecimal =
      end - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && is_hex_digit(p[2]);
  if (!hexadecimal) {
    quad.hex_colour_text = {};
    return scan_int(p, end, quad.colour);
  }
  const char* digit = p + 2;
  std::uint32_t value = 0;
  for (; digit != end && is_hex_digit(*digit); ++digit) {
    value = value * 16u + hex_digit_value(*digit);
  }
  quad.colour = static_cast<std::int32_t>(value);
  quad.hex_colour_text = std::string_view(p, static_cast<std::size_t>(digit - p));
  return digit;
}

bool parse_fields(const char* p, const char* const end, QuadLine& quad) {
  p = scan_int(p, end, quad.line_type);
  if (p == nullptr) return false;
  p = scan_colour(p, end, quad);
  if (p == nullptr) return false;
  double coordinates[12];
  if (scan_doubles(p, end, coordinates, 12) == nullptr) return false;
  for (std::size_t corner = 0; corner < 4; ++corner) {
    quad.corners[corner] = {coordinates[3 * corner], coordinates[3 * corner + 1],
                            coordinates[3 * corner + 2]};
  }
  return true;
}

}  // namespace

std::int32_t probe_line_type(std::string_view line) {
  // Nearly every line starts with a one-digit type and a blank.
  if (line.size() >= 2 && line[0] >= '0' && line[0] <= '9' && line[1] == ' ') return line[0] - '0';
  std::int32_t type = -1;
  scan_int(line, type);
  return type;
}

bool parse_quad(std::string_view line, QuadLine& quad) {
  // The number readers go fastest with a few words to spare after the text,
  // so a line of ordinary length is read from a copy padded with NUL bytes.
  // A NUL can neither continue a number nor be skipped as white space: the
  // copy reads exactly as the line does.
  constexpr std::size_t kLongestPadded = 1024;
  constexpr std::size_t kPadding = 32;
  if (line.size() > kLongestPadded) {
    return parse_fields(line.data(), line.data() + line.size(), quad);
  }
  char padded[kLongestPadded + kPadding];
  std::memcpy(padded, line.data(), line.size());
  std::memset(padded + line.size(), 0, kPadding);
  if (!parse_fields(padded, padded + line.size() + kPadding, quad)) {
    quad.hex_colour_text = {};
    return false;
  }
  if (!quad.hex_colour_text.empty()) {
    const auto offset = static_cast<std::size_t>(quad.hex_colour_text.data() - padded);
    quad.hex_colour_text = line.substr(offset, quad.hex_colour_text.size());
  }
  return true;
}

}  // namespace skewquad
