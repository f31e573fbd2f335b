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
  // Coordinates with seven significant digits, as "%.7lg" writes them.
  void number(double value) {
    line_ += ' ';
    append_general(line_, value, 7);
  }
  void corner(const Vertex& v) {
    number(v.x);
    number(v.y);
    number(v.z);
  }
  void colour(const QuadLine& quad) {
    line_ += ' ';
    if (!quad.hex_colour_text.empty()) {
      line_.append(quad.hex_colour_text);
    } else {
      line_.append(std::to_string(quad.colour));
    }
  }
  const std::string& finish(std::string_view line_end) {
    line_.append(line_end);
    return line_;
  }

 private:
  std::string line_;
};

// Bytes appended to a string, as a CopyStream takes them.
struct StringOut {
  std::string& text;
  void write(std::string_view bytes) { text.append(bytes); }
};

template <typename Out>
void write_triangle(Out& out, std::string_view prefix, const QuadLine& quad, const Vertex& a,
                    const Vertex& b, const Vertex& c, std::string_view line_end) {
  LineBuilder line;
  line.text(prefix);
  line.text("3");
  line.colour(quad);
  line.corner(a);
  line.corner(b);
  line.corner(c);
  out.write(line.finish(line_end));
}

template <typename Out>
void write_conditional(Out& out, std::string_view prefix, const Vertex& end_a, const Vertex& end_b,
                       const Vertex& control_a, const Vertex& control_b,
                       std::string_view line_end) {
  LineBuilder line;
  line.text(prefix);
  line.text("5 ");
  line.text(kConditionalColour);
  line.corner(end_a);
  line.corner(end_b);
  line.corner(control_a);
  line.corner(control_b);
  out.write(line.finish(line_end));
}

// Two triangles along P1-P3 or P2-P4, in the quad's own cyclic order of
// corners so that they face the way it did, and the conditional line along
// the cut when asked for.
template <typename Out>
void write_triangles(Out& out, std::string_view prefix, const QuadLine& quad, bool along_13,
                     bool conditional, std::string_view line_end) {
  const Vertex& p1 = quad.corners[0];
  const Vertex& p2 = quad.corners[1];
  const Vertex& p3 = quad.corners[2];
  const Vertex& p4 = quad.corners[3];
  if (along_13) {
    write_triangle(out, prefix, quad, p1, p2, p3, line_end);
    write_triangle(out, prefix, quad, p1, p3, p4, line_end);
    if (conditional) write_conditional(out, prefix, p1, p3, p2, p4, line_end);
  } else {
    write_triangle(out, prefix, quad, p1, p2, p4, line_end);
    write_triangle(out, prefix, quad, p2, p3, p4, line_end);
    if (conditional) write_conditional(out, prefix, p2, p4, p1, p3, line_end);
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
  write_triangles(out, prefix, quad, measure.fold_24 > measure.fold_13, !flags.no_conditional,
                  line_end);
}

void append_warp_mend(std::string& out, std::string_view line, const QuadLine& quad,
                      const WarpMeasure& measure, bool conditional,
                      std::string_view fallback_line_end) {
  StringOut text{out};
  write_triangles(text, {}, quad, measure.fold_24 > measure.fold_13, conditional,
                  ending_of(line, fallback_line_end));
}

void append_shape_mend(std::string& out, std::string_view line, const QuadLine& quad,
                       const ShapeMend& mend, std::string_view fallback_line_end) {
  StringOut text{out};
  const std::string_view line_end = ending_of(line, fallback_line_end);
  switch (mend.kind) {
    case ShapeMend::Kind::kSplit:
      // The cut lies in the quad's own surface: no conditional line.
      write_triangles(text, {}, quad, mend.along_13, false, line_end);
      break;
    case ShapeMend::Kind::kTriangle: {
      // The other three in the order they stand on the line, a turn of the
      // quad's own cycle, so the triangle faces the way the quad did.
      const Vertex* kept[3];
      int count = 0;
      for (int corner = 0; corner < 4; ++corner) {
        if (corner != mend.corner) kept[count++] = &quad.corners[corner];
      }
      write_triangle(text, {}, quad, *kept[0], *kept[1], *kept[2], line_end);
      break;
    }
    case ShapeMend::Kind::kNone:
      break;
  }
}

}  // namespace skewquad
