// The split writer: what the copy holds in place of a warped quad.
#pragma once

#include <string>
#include <string_view>

#include "geometry/quad_line.h"
#include "geometry/quad_mend.h"
#include "geometry/warp.h"
#include "records/run_records.h"
#include "writer/copy_stream.h"

namespace skewquad {

/// Writes what stands in the copy for a quad above the warning angle: the
// quad line as read with a warp note and a suggested split behind it as
// comments, or with auto_split the split alone, as two triangles and (unless
// no_conditional) the conditional line along the cut.
//
// Every written line ends like the quad line did. A quad line without a line
// end gets `fallback_line_end` (the file's most recent one), so that the
// note never runs on from the last coordinate.
void write_split(CopyStream& out, std::string_view line, const QuadLine& quad,
                 const WarpMeasure& measure, const AngleLimits& limits, const ModeFlags& flags,
                 std::string_view fallback_line_end);

/// A quad line's words as written: its colour and its twelve coordinates.
struct QuadText {
  std::string_view colour;
  std::string_view coordinates[12];
};

/// Appends the lines that mend a warped quad: the two triangles along the
/// diagonal P1-P3 (`along_13`) or P2-P4, and the conditional line along the
/// cut when asked for. Each corner and the colour are written with the
/// words of `text`, byte for byte, and each line ends with `line_end`.
void append_warp_mend(std::string& out, const QuadText& text, bool along_13, bool conditional,
                      std::string_view line_end);

/// Appends the lines that mend a quad by `mend` (which is not kNone), in its
/// colour and winding, written with the words of `text` and each ended with
/// `line_end`.
void append_shape_mend(std::string& out, const QuadText& text, const ShapeMend& mend,
                       std::string_view line_end);

/// The line end that closes `line`: CR LF, LF, or nothing.
std::string_view line_end_of(std::string_view line);

}  // namespace skewquad
