// The quad line reader. A line is read one of three ways: from its located
// words where it lies (the fast path), number by number as scanf would
// (any line the locator refuses), or from a copy with room after it (a line
// whose last word runs to the end of what may be read).
#include "text/quad_line_reader.h"

#include <cstring>

#include "text/plain_decimal.h"
#include "text/quad_words.h"
#include "text/read_ahead.h"
#include "text/scanf_numbers.h"

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

void set_corners(const double* coordinates, QuadLine& quad) {
  for (std::size_t corner = 0; corner < 4; ++corner) {
    quad.corners[corner] = {coordinates[3 * corner], coordinates[3 * corner + 1],
                            coordinates[3 * corner + 2]};
  }
}

// How much of a line its fourteen numbers must take.
enum class Extent : std::uint8_t {
  kFirstFourteen,  // the first fourteen numbers; anything may follow them
  kWholeLine,      // nothing but white space may follow them
};

// Whether a number read up to `p` took its whole word.
bool ends_its_word(const char* p, const char* end) {
  return p != nullptr && (p == end || is_scan_space(*p));
}

// One number after another, from `p` up to `end`.
QuadReading read_number_by_number(const char* p, const char* const end, Extent extent,
                                  QuadLine& quad) {
  p = scan_int(p, end, quad.line_type);
  if (p == nullptr) return QuadReading::kIncomplete;
  p = scan_colour(p, end, quad);
  if (p == nullptr) return QuadReading::kIncomplete;
  double coordinates[12];
  if (extent == Extent::kFirstFourteen) {
    if (scan_doubles(p, end, coordinates, 12) == nullptr) return QuadReading::kIncomplete;
  } else {
    // Fourteen words, each wholly a number, and nothing after them.
    if (!ends_its_word(p, end)) return QuadReading::kIncomplete;
    for (double& coordinate : coordinates) {
      p = scan_double(p, end, coordinate);
      if (!ends_its_word(p, end)) return QuadReading::kIncomplete;
    }
    if (skip_scan_space(p, end) != end) return QuadReading::kIncomplete;
  }
  set_corners(coordinates, quad);
  return QuadReading::kParsed;
}

// Whether the four corners have the same value in one coordinate (all x
// alike, all y or all z). Found without a branch per corner or axis, which
// the mix of flat and other quads would mispredict.
bool share_a_coordinate(const PlainDecimal* coordinates) {
  std::uint64_t differences[3];
  for (int axis = 0; axis < 3; ++axis) {
    const std::uint64_t first = coordinates[axis].word;
    differences[axis] = (first ^ coordinates[axis + 3].word) |
                        (first ^ coordinates[axis + 6].word) | (first ^ coordinates[axis + 9].word);
  }
  // A difference word is zero exactly when subtracting one borrows out of
  // its top bit: (d - 1) & ~d has the top bit set only for d = 0.
  return ((((differences[0] - 1) & ~differences[0]) | ((differences[1] - 1) & ~differences[1]) |
           ((differences[2] - 1) & ~differences[2])) >>
          63) != 0;
}

// What becomes of a quad whose text shows it in a coordinate plane.
enum class CoordinatePlanes {
  kNotRecognised,     // read and measured like any other
  kLeftUnread,        // recognised, its corners left unread
  kRecognisedAndRead  // recognised, its corners read all the same
};

// Whether the reader stopped at the end of a word.
bool at_word_end(const char* p) { return p != nullptr && is_scan_space(*p); }

// The quad from its located words. False when the line type or the colour
// is not read whole from its word: the numbers must then be read one after
// another.
[[gnu::flatten]] bool read_located_words(const char* line, const char* end, const QuadWords& words,
                                         CoordinatePlanes planes, QuadLine& quad,
                                         QuadReading& reading) {
  if (!read_digits_word(line + words.start[0], quad.line_type)) return false;
  quad.hex_colour_text = {};
  if (!read_digits_word(line + words.start[1], quad.colour) &&
      !at_word_end(scan_colour(line + words.start[1], end, quad))) {
    return false;
  }
  PlainDecimal located[12];
  plain_decimals_at(line, words.start + 2, 12, located);
  reading = planes != CoordinatePlanes::kNotRecognised && share_a_coordinate(located)
                ? QuadReading::kInCoordinatePlane
                : QuadReading::kParsed;
  if (reading == QuadReading::kInCoordinatePlane && planes == CoordinatePlanes::kLeftUnread) {
    return true;
  }
  double coordinates[12];
  values_of(located, 12, coordinates);
  set_corners(coordinates, quad);
  return true;
}

// Reads a line after which kQuadLinePadding bytes can be read.
[[gnu::flatten]] QuadReading read_with_room_after(std::string_view line, CoordinatePlanes planes,
                                                  Extent extent, QuadLine& quad) {
  QuadWords words;
  QuadReading reading = QuadReading::kIncomplete;
  const char* const end = line.data() + line.size();
  const int count = locate_quad_words(line, words);
  // More words than fourteen, on a line that must hold fourteen alone, are
  // found by the reader number by number.
  if (count > 0 && (count == kQuadWords || extent == Extent::kFirstFourteen) &&
      read_located_words(line.data(), end, words, planes, quad, reading)) {
    return reading;
  }
  return read_number_by_number(line.data(), end, extent, quad);
}

// Reads any line: one no longer than a piece from a copy with room after
// it, filled with NUL bytes. A NUL can neither continue a number nor be
// skipped as white space: the copy reads exactly as the line does.
QuadReading read_through_padded_copy(std::string_view line, CoordinatePlanes planes, Extent extent,
                                     QuadLine& quad) {
  if (line.size() > kLongestPieceBytes) {
    return read_number_by_number(line.data(), line.data() + line.size(), extent, quad);
  }
  char padded[kLongestPieceBytes + kQuadLinePadding];
  std::memcpy(padded, line.data(), line.size());
  std::memset(padded + line.size(), 0, kQuadLinePadding);
  const QuadReading reading = read_with_room_after({padded, line.size()}, planes, extent, quad);
  if (reading == QuadReading::kIncomplete) {
    quad.hex_colour_text = {};
  } else if (!quad.hex_colour_text.empty()) {
    const auto offset = static_cast<std::size_t>(quad.hex_colour_text.data() - padded);
    quad.hex_colour_text = line.substr(offset, quad.hex_colour_text.size());
  }
  return reading;
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
  return read_through_padded_copy(line, CoordinatePlanes::kNotRecognised, Extent::kFirstFourteen,
                                  quad) == QuadReading::kParsed;
}

namespace {

// A line after which kQuadLinePadding bytes can be read, read where it lies;
// a last word that runs to the end of the line would be read on into the
// bytes after it, so such a line is read from a copy.
QuadReading read_in_place(std::string_view line, CoordinatePlanes planes, Extent extent,
                          QuadLine& quad) {
  if (line.empty() || !is_scan_space(line.back())) {
    return read_through_padded_copy(line, planes, extent, quad);
  }
  const QuadReading reading = read_with_room_after(line, planes, extent, quad);
  if (reading == QuadReading::kIncomplete) quad.hex_colour_text = {};
  return reading;
}

}  // namespace

QuadReading read_quad(std::string_view line, QuadLine& quad) {
  return read_in_place(line, CoordinatePlanes::kLeftUnread, Extent::kFirstFourteen, quad);
}

QuadReading read_whole_quad(std::string_view line, QuadLine& quad) {
  return read_in_place(line, CoordinatePlanes::kRecognisedAndRead, Extent::kWholeLine, quad);
}

QuadReading read_located_whole_quad(std::string_view line, const QuadWords& words, QuadLine& quad) {
  QuadReading reading = QuadReading::kIncomplete;
  if (read_located_words(line.data(), line.data() + line.size(), words,
                         CoordinatePlanes::kRecognisedAndRead, quad, reading)) {
    return reading;
  }
  return read_whole_quad(line, quad);
}

}  // namespace skewquad
