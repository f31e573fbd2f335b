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

void write_triangle(CopyStream& out, std::string_view prefix, const QuadLine& quad, const Vertex& a,
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

void write_conditional(CopyStream& out, std::string_view prefix, const Vertex& end_a,
                       const Vertex& end_b, const Vertex& control_a, const Vertex& control_b,
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

}  // namespace

std::string_view line_end_of(std::string_view line) {
  if (line.ends_with("\r\n")) return "\r\n";
  if (line.ends_with('\n')) return "\n";
  return {};
}

void write_split(CopyStream& out, std::string_view line, const QuadLine& quad,
                 const WarpMeasure& measure, const AngleLimits& limits, const ModeFlags& flags,
                 std::string_view fallback_line_end) {
  std::string_view line_end = line_end_of(line);
  const bool line_was_ended = !line_end.empty();
  if (!line_was_ended) line_end = fallback_line_end;

  std::string_view prefix;
  if (!flags.auto_split) {
    out.write(line);
    if (!line_was_ended) out.write(line_end);
    char note[64];
    const int size = std::snprintf(note, sizeof note, kWarpNote, measure.max, limits.warning);
    out.write(std::string_view(note, static_cast<std::size_t>(size)));
    out.write(line_end);
    out.write(kSplitHeader);
    out.write(line_end);
    prefix = kCommentPrefix;
  }

  const Vertex& p1 = quad.corners[0];
  const Vertex& p2 = quad.corners[1];
  const Vertex& p3 = quad.corners[2];
  const Vertex& p4 = quad.corners[3];
  // Cut along the diagonal with the smaller fold; the triangles keep the
  // quad's own cyclic order of corners, so they face the way it did.
  if (measure.fold_24 > measure.fold_13) {
    write_triangle(out, prefix, quad, p1, p2, p3, line_end);
    write_triangle(out, prefix, quad, p1, p3, p4, line_end);
    if (!flags.no_conditional) write_conditional(out, prefix, p1, p3, p2, p4, line_end);
  } else {
    write_triangle(out, prefix, quad, p1, p2, p4, line_end);
    write_triangle(out, prefix, quad, p2, p3, p4, line_end);
    if (!flags.no_conditional) write_conditional(out, prefix, p2, p4, p1, p3, line_end);
  }
}

}  // namespace skewquad
