// The split writer: the warp note, the split header, two triangles and the
// conditional line along the cut, each ended like the quad line.
#include "writer/split_writer.h"

#include <cstdio>
#include <string>

#include "writer/number_format.h"

namespace skewquad {
namespace {

// The LDraw lines of a split, each written without its line end.
constexpr char kWarpNote[] = "0 Angle %.4lg> %.4lg";
constexpr char kSplitHeader[] = "0 Suggested split:";
constexpr char kCommentPrefix[] = "0 ";
constexpr char kConditionalColour[] = "24";

class LineBuilder {
 public:
  void text(std::string_view bytes) { line_.append(bytes); }
  void word(std::string_view bytes) {
    line_ += ' ';
    line_.append(bytes);
  }
  // Coordinates with seven significant digits, as "%.7lg" writes them.
  void number(double value) {
    line_ += ' ';
    append_general(line_, value, 7);
  }
  const std::string& finish(std::string_view line_end) {
    line_.append(line_end);
    return line_;
  }

 private:
  std::string line_;
};

// A quad's colour and corners written with seven significant digits, as
// the copy writes a split.
struct NumberCorners {
  const QuadLine& quad;
  void colour(LineBuilder& line) const {
    line.word(quad.hex_colour_text.empty() ? std::to_string(quad.colour)
                                           : std::string(quad.hex_colour_text));
  }
  void corner(LineBuilder& line, int index) const {
    const Vertex& v = quad.corners[index];
    line.number(v.x);
    line.number(v.y);
    line.number(v.z);
  }
};

// A quad's colour and corners written with the words of its line.
struct WordCorners {
  const QuadText& text;
  void colour(LineBuilder& line) const { line.word(text.colour); }
  void corner(LineBuilder& line, int index) const {
    for (int axis = 0; axis < 3; ++axis) line.word(text.coordinates[3 * index + axis]);
  }
};

// Bytes appended to a string, as a CopyStream takes them.
struct StringOut {
  std::string& text;
  void write(std::string_view bytes) { text.append(bytes); }
};

template <typename Out, typename Corners>
void write_triangle(Out& out, std::string_view prefix, const Corners& corners, int a, int b, int c,
                    std::string_view line_end) {
  LineBuilder line;
  line.text(prefix);
  line.text("3");
  corners.colour(line);
  corners.corner(line, a);
  corners.corner(line, b);
  corners.corner(line, c);
  out.write(line.finish(line_end));
}

template <typename Out, typename Corners>
void write_conditional(Out& out, std::string_view prefix, const Corners& corners, int end_a,
                       int end_b, int control_a, int control_b, std::string_view line_end) {
  LineBuilder line;
  line.text(prefix);
  line.text("5");
  line.word(kConditionalColour);
  corners.corner(line, end_a);
  corners.corner(line, end_b);
  corners.corner(line, control_a);
  corners.corner(line, control_b);
  out.write(line.finish(line_end));
}

// Two triangles along P1-P3 or P2-P4, in the quad's own cyclic order of
// corners so that they face the way it did, and the conditional line along
// the cut when asked for.
template <typename Out, typename Corners>
void write_triangles(Out& out, std::string_view prefix, const Corners& corners, bool along_13,
                     bool conditional, std::string_view line_end) {
  if (along_13) {
    write_triangle(out, prefix, corners, 0, 1, 2, line_end);
    write_triangle(out, prefix, corners, 0, 2, 3, line_end);
    if (conditional) write_conditional(out, prefix, corners, 0, 2, 1, 3, line_end);
  } else {
    write_triangle(out, prefix, corners, 0, 1, 3, line_end);
    write_triangle(out, prefix, corners, 1, 2, 3, line_end);
    if (conditional) write_conditional(out, prefix, corners, 1, 3, 0, 2, line_end);
  }
}

// The quad's own line end, or the fallback when it has none.
std::string_view ending_of(std::string_view line, std::string_view fallback_line_end) {
  const std::string_view line_end = line_end_of(line);
  return line_end.empty() ? fallback_line_end : line_end;
}

}  // namespace

std::string_view line_end_of(std::string_view line) {
  if (line.ends_with("\r\n")) return "\r\n";
  if (line.ends_with('\n')) return "\n";
  return {};
}

void write_split(CopyStream& out, std::string_view line, const QuadLine& quad,
                 const WarpMeasure& measure, const AngleLimits& limits, const ModeFlags& flags,
                 std::string_view fallback_line_end) {
  const std::string_view line_end = ending_of(line, fallback_line_end);
  std::string_view prefix;
  if (!flags.auto_split) {
    out.write(line);
    if (line_end_of(line).empty()) out.write(line_end);
    char note[64];
    const int size = std::snprintf(note, sizeof note, kWarpNote, measure.max, limits.warning);
    out.write(std::string_view(note, static_cast<std::size_t>(size)));
    out.write(line_end);
    out.write(kSplitHeader);
    out.write(line_end);
    prefix = kCommentPrefix;
  }
  // Cut along the diagonal with the smaller fold.
  write_triangles(out, prefix, NumberCorners{quad}, measure.fold_24 > measure.fold_13,
                  !flags.no_conditional, line_end);
}

void append_warp_mend(std::string& out, const QuadText& text, bool along_13, bool conditional,
                      std::string_view line_end) {
  StringOut lines{out};
  write_triangles(lines, {}, WordCorners{text}, along_13, conditional, line_end);
}

void append_shape_mend(std::string& out, const QuadText& text, const ShapeMend& mend,
                       std::string_view line_end) {
  StringOut lines{out};
  const WordCorners corners{text};
  switch (mend.kind) {
    case ShapeMend::Kind::kSplit:
      // The cut lies in the quad's own surface: no conditional line.
      write_triangles(lines, {}, corners, mend.along_13, false, line_end);
      break;
    case ShapeMend::Kind::kTriangle: {
      // The other three in the order they stand on the line, a turn of the
      // quad's own cycle, so the triangle faces the way the quad did.
      int kept[3];
      int count = 0;
      for (int corner = 0; corner < 4; ++corner) {
        if (corner != mend.corner) kept[count++] = corner;
      }
      write_triangle(lines, {}, corners, kept[0], kept[1], kept[2], line_end);
      break;
    }
    case ShapeMend::Kind::kNone:
      break;
  }
}

}  // namespace skewquad
