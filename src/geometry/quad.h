#pragma once

#include <cstdint>
#include <string_view>

namespace skewquad {

// A point in LDraw units; also used for the edge and normal vectors built
// from the corners.
struct Vertex {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

// One type-4 line: a quadrilateral with its colour and corners P1..P4 in the
// order they stand on the line.
struct QuadLine {
  std::int32_t line_type = 0;
  std::int32_t colour = 0;
  // The colour as written when it is a direct colour in hexadecimal (0x2RRGGBB),
  // so that it can be written back unchanged; empty for a decimal colour. It
  // points into the line the quad was parsed from.
  std::string_view hex_colour_text;
  Vertex corners[4];
};

inline constexpr std::int32_t kQuadLineType = 4;

// The line type: the leading decimal integer of the line, or -1 when the line
// does not begin with one.
std::int32_t probe_line_type(std::string_view line);

// Fills `quad` from a type-4 line: line type, colour, then x y z of four
// corners. Returns false when the line does not supply all fourteen numbers;
// `quad` is then not to be measured.
bool parse_quad(std::string_view line, QuadLine& quad);

}  // namespace skewquad
