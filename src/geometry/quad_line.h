// The record of one type-4 line: a quadrilateral's colour and corners.
#pragma once

#include <cstdint>
#include <string_view>

#include "geometry/vertex.h"

namespace skewquad {

inline constexpr std::int32_t kQuadLineType = 4;

/// One type-4 line: a quadrilateral with its colour and corners P1..P4 in
/// the order they stand on the line.
struct QuadLine {
  std::int32_t line_type = 0;
  std::int32_t colour = 0;
  // The colour as written when it is a direct colour in hexadecimal
  // (0x2RRGGBB), so that it can be written back unchanged; empty for a
  // decimal colour. It points into the line the quad was read from.
  std::string_view hex_colour_text;
  Vertex corners[4];
};

}  // namespace skewquad
