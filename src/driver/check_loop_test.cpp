// The line loop over files in memory: bands, reports, the copy.
#include "driver/check_loop.h"

#include <string>

#include <gtest/gtest.h>

#include "driver/bands.h"
#include "geometry/warp.h"
#include "text/quad_line_reader.h"
#include "test_files.h"

namespace skewquad {
namespace {

struct LoopResult {
  RunTally tally;
  std::string console;
  std::string copy;
};

LoopResult run_on(std::string_view content, const AngleLimits& limits = {}, ModeFlags flags = {},
                  bool with_copy = true) {
  std::FILE* input = testing::file_holding(content);
  std::FILE* console = std::tmpfile();
  std::FILE* copy_file = std::tmpfile();
  LoopResult run;
  {
    LineReader reader(input);
    CopyStream copy(copy_file);
    check_lines(reader, with_copy ? &copy : nullptr, limits, flags, run.tally,
                [console](const QuadReport& report) { print_quad_report(report, console); });
    EXPECT_TRUE(copy.flush());
  }
  run.console = testing::contents_of(console);
  run.copy = testing::contents_of(copy_file);
  for (std::FILE* file : {input, console, copy_file}) std::fclose(file);
  return run;
}

double max_of(std::string_view line) {
  QuadLine quad;
  EXPECT_TRUE(parse_quad(line, quad));
  return measure_warp(quad).max;
}

// A square of side 10 with one corner lifted: about 2.43 degrees for 0.3.
constexpr char kLifted[] = "4 16 0 0 0 10 0 0 10 10 0.3 0 10 0\n";

TEST(CheckLines, CountsAQuadExactlyAtALimitInTheBandBelowIt) {
  const double angle = max_of(kLifted);
  AngleLimits at_error{1.0, angle, 0.1};
  EXPECT_EQ(run_on(kLifted, at_error).tally.warning_count, 1);
  AngleLimits at_warning{angle, 3.0, angle * 0.1};
  EXPECT_EQ(run_on(kLifted, at_warning).tally.low_count, 1);
  AngleLimits at_low{angle * 10, 80.0, angle};
  const LoopResult planar = run_on(kLifted, at_low);
  EXPECT_EQ(planar.tally.low_count + planar.tally.warning_count + planar.tally.error_count, 0);
  // With the warning angle lowered to the error angle the warning band is
  // empty and a quad at that angle counts as low.
  AngleLimits equal{angle, angle, angle * 0.1};
  EXPECT_EQ(run_on(kLifted, equal).tally.low_count, 1);
  // And a quad exactly at the warning angle is copied as read.
  EXPECT_EQ(run_on(kLifted, at_warning).copy, kLifted);
}

TEST(CheckLines, NumbersEveryPieceAndReportsQuadsAboveTheErrorAngle) {
  const LoopResult run = run_on("0 comment\r\n\r\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n" +
                                std::string(1023, ' ') + "\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\n");
  EXPECT_EQ(run.tally.line_number, 6);
  EXPECT_EQ(run.tally.error_count, 2);
  EXPECT_EQ(run.console, "\nLine 3: Angle = 60\nLine 6: Angle = 60");
}

TEST(CheckLines, CopiesAnIncompleteQuadLineAndMeasuresNothingFromIt) {
  // The second line must not borrow the corners of the first.
  const std::string content =
      "4 16 0 0 0 1 0 0 1 1 0 0 1 1\n"
      "4 16 0 0 0 1 0 0 1 1\n"
      "4 16 0 0 0 1 0,5 0 1 1 0 0 1 1\n";
  const LoopResult run = run_on(content, {}, {true, false});
  EXPECT_EQ(run.tally.error_count, 1);
  EXPECT_EQ(run.console,
            "\nLine 1: Angle = 60\nLine 2: Invalid quad line\nLine 3: Invalid quad line");
  EXPECT_EQ(run.copy.substr(run.copy.find("5 24")),
            "5 24 0 0 0 1 1 0 1 0 0 0 1 1\n"
            "4 16 0 0 0 1 0 0 1 1\n"
            "4 16 0 0 0 1 0,5 0 1 1 0 0 1 1\n");
}

TEST(CheckLines, LeavesQuadsWithoutAnAngleOutOfEveryBand) {
  const LoopResult run = run_on("4 16 0 0 0 0 0 0 1 1 0 0 1 1\n", {}, {true, false});
  EXPECT_EQ(run.tally.error_count + run.tally.warning_count + run.tally.low_count, 0);
  EXPECT_EQ(run.copy, "4 16 0 0 0 0 0 0 1 1 0 0 1 1\n");
}

TEST(CheckLines, EndsAWarpedQuadWithoutLineEndLikeTheLinesBeforeIt) {
  EXPECT_EQ(run_on("0 x\r\n4 16 0 0 0 1 0 0 1 1 0 0 1 1", {}, {true, true}).copy,
            "0 x\r\n3 16 0 0 0 1 0 0 1 1 0\r\n3 16 0 0 0 1 1 0 0 1 1\r\n");
  // The first piece of a long quad line is measured, and the rest copied.
  const std::string long_quad = "4 16 0 0 0 1 0 0 1 1 0 0 1 1" + std::string(1200, ' ') + "\n";
  const LoopResult run = run_on(long_quad);
  EXPECT_EQ(run.tally.line_number, 2);
  EXPECT_EQ(run.copy, long_quad.substr(0, 1023) +
                          "\n0 Angle 60> 1\n0 Suggested split:\n"
                          "0 3 16 0 0 0 1 0 0 1 1 0\n0 3 16 0 0 0 1 1 0 0 1 1\n"
                          "0 5 24 0 0 0 1 1 0 1 0 0 0 1 1\n" +
                          long_quad.substr(1023));
}

TEST(CheckLines, WritesNothingWithoutACopy) {
  const LoopResult run = run_on(kLifted, {}, {true, false}, false);
  EXPECT_EQ(run.tally.warning_count, 1);
  EXPECT_EQ(run.copy, "");
}

}  // namespace
}  // namespace skewquad
