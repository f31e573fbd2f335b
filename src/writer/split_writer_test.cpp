// What the copy holds for a warped quad, in every mode.
#include "writer/split_writer.h"

#include <string>

#include <gtest/gtest.h>

#include "test_files.h"
#include "text/quad_line_reader.h"

namespace skewquad {
namespace {

using testing::contents_of;

struct SplitCase {
  ModeFlags flags;
  std::string fallback_line_end = "\n";
  AngleLimits limits;
};

// The copy that write_split gives for `line`, measured as the run would.
std::string split_of(std::string_view line, const SplitCase& options = {}) {
  QuadLine quad;
  EXPECT_TRUE(parse_quad(line, quad)) << line;
  std::FILE* file = testing::temporary_file();
  std::string copy;
  {
    CopyStream out(file);
    write_split(out, line, quad, measure_warp(quad), options.limits, options.flags,
                options.fallback_line_end);
    EXPECT_TRUE(out.flush());
  }
  copy = contents_of(file);
  std::fclose(file);
  return copy;
}

// The two triangles alone, as -c -o writes them.
std::string triangles_of(std::string_view line) {
  SplitCase replace;
  replace.flags.auto_split = true;
  replace.flags.no_conditional = true;
  return split_of(line, replace);
}

TEST(WriteSplit, EndsAQuadLineWithoutLineEndLikeTheLinesBeforeIt) {
  SplitCase crlf;
  crlf.fallback_line_end = "\r\n";
  EXPECT_EQ(split_of("4 16 0 0 0 1 0 0 1 1 0 0 1 1", crlf),
            "4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n"
            "0 Angle 60> 1\r\n"
            "0 Suggested split:\r\n"
            "0 3 16 0 0 0 1 0 0 1 1 0\r\n"
            "0 3 16 0 0 0 1 1 0 0 1 1\r\n"
            "0 5 24 0 0 0 1 1 0 1 0 0 0 1 1\r\n");
  EXPECT_EQ(triangles_of("4 16 0 0 0 1 0 0 1 1 0 0 1 1"),
            "3 16 0 0 0 1 0 0 1 1 0\n"
            "3 16 0 0 0 1 1 0 0 1 1\n");
}

TEST(WriteSplit, WritesTheColourAsReadAndCoordinatesToSevenDigits) {
  EXPECT_EQ(triangles_of("4 0x2FF0029 0 0 0 1 0 0 1 1 0 0 1 1\n"),
            "3 0x2FF0029 0 0 0 1 0 0 1 1 0\n"
            "3 0x2FF0029 0 0 0 1 1 0 0 1 1\n");
  EXPECT_EQ(triangles_of("4 4294967312 0 0 0 1 0 0 1 1 0 0 1 1\n"),
            "3 16 0 0 0 1 0 0 1 1 0\n"
            "3 16 0 0 0 1 1 0 0 1 1\n");
  EXPECT_EQ(triangles_of("4 16 -10.123456789 .00001 12345678 1 0 0 1 1 0 0 1 1\n"),
            "3 16 -10.12346 1e-05 1.234568e+07 1 0 0 0 1 1\n"
            "3 16 1 0 0 1 1 0 0 1 1\n");
}

TEST(WriteSplit, CutsAlongP2P4OnATieAndWhereThatFoldHasNoValue) {
  // Both folds equal: the cut runs along P2-P4.
  SplitCase replace;
  replace.flags.auto_split = true;
  const std::string tie = split_of("4 16 0 0 1 2 0 -1 2 2 1 0 2 -1\n", replace);
  EXPECT_EQ(tie.substr(tie.rfind("5 ")), "5 24 2 0 -1 0 2 -1 0 0 1 2 2 1\n");

  // P2 on P4: the fold about P2-P4 has no value, so the cut runs there.
  const std::string degenerate = split_of("4 16 0 0 0 1 0 0 1 1 5 1 0 0\n", replace);
  EXPECT_EQ(degenerate.substr(degenerate.rfind("5 ")), "5 24 1 0 0 1 0 0 0 0 0 1 1 5\n");
}

}  // namespace
}  // namespace skewquad
