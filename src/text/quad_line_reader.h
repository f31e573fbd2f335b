// The quad line reader: the line type probe and the three ways a type-4
// line is read into its record.
#pragma once

#include <cstdint>
#include <string_view>

#include "geometry/quad_line.h"
#include "text/quad_words.h"

namespace skewquad {

/// The line type: the leading decimal integer of the line, or -1 when the
/// line does not begin with one.
std::int32_t probe_line_type(std::string_view line);

/// Fills `quad` from a type-4 line: line type, colour, then x y z of four
/// corners. Returns false when the line does not supply all fourteen
/// numbers; `quad` is then not to be measured.
bool parse_quad(std::string_view line, QuadLine& quad);

enum class QuadReading {
  kIncomplete,         // the line does not supply all fourteen numbers
  kParsed,             // `quad` holds the line's numbers
  kInCoordinatePlane,  // recognised from its text alone; the corners are not read
};

/// As parse_quad, for a line after which kQuadLinePadding bytes (of any
/// value) can be read, and except that a quad whose four corners have the
/// same value in one coordinate (all x alike, all y or all z), as its text
/// shows, is recognised as such and its corners left unread. Such a quad
/// lies in a coordinate plane: every edge has an exact zero in that
/// coordinate, so both normals lie exactly along its axis, the cross product
/// of their unit vectors is exactly zero, and both folds come out exactly 0
/// (or no number, for a degenerate quad). Only quads whose numbers are all
/// plain decimals, and so finite, are recognised.
QuadReading read_quad(std::string_view line, QuadLine& quad);

/// As read_quad, except that the corners of a quad recognised in a
/// coordinate plane are read too, and that the line must be its fourteen
/// numbers alone, each a word of its own: with anything else (a word or a
/// fifteenth number after them, a letter stuck to one, two numbers in one
/// word such as 1.2.3) it is incomplete.
QuadReading read_whole_quad(std::string_view line, QuadLine& quad);

/// As read_whole_quad, for a line whose fourteen words, and no more,
/// locate_tidy_words has located as `words`.
QuadReading read_located_whole_quad(std::string_view line, const QuadWords& words, QuadLine& quad);

}  // namespace skewquad
