// The line loop over files in memory: bands, reports, the copy.
#include "check/check_loop.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geometry/warp.h"
#include "plain_measure.h"
#include "test_files.h"
#include "text/quad_line_reader.h"
#include "text/read_ahead.h"

namespace skewquad {
namespace {

struct LoopResult {
  RunTally tally;
  std::string copy;
  std::vector<Finding> findings;
};

// Keeps each finding, and a carrier's replacement while it is still valid:
// the loop's buffer for it lasts only as long as the call.
class RecordingSink final : public FindingSink {
 public:
  void take(const Finding& finding) override {
    findings.push_back(finding);
    if (finding.role == MendRole::kCarrier) replacements.emplace_back(finding.mend.replacement);
  }
  std::vector<Finding> findings;
  std::vector<std::string> replacements;
};

LoopResult run_on(std::string_view content, const AngleLimits& limits = {}, ModeFlags flags = {},
                  CheckMode mode = CheckMode::kClassic) {
  std::FILE* input = testing::file_holding(content);
  std::FILE* copy_file = testing::temporary_file();
  LoopResult run;
  {
    LineReader reader(input);
    CopyStream copy(copy_file);
    RecordingSink sink;
    check_lines(reader, &copy, check_rules_for(limits, mode), flags, run.tally, sink);
    EXPECT_TRUE(copy.flush());
    run.findings = std::move(sink.findings);
  }
  run.copy = testing::contents_of(copy_file);
  for (std::FILE* file : {input, copy_file}) std::fclose(file);
  return run;
}

// A finding's check and severity, as a quad's fate tells them.
QuadFate fate_of(const Finding& finding) {
  switch (finding.check) {
    case CheckId::kInvalid:
      return QuadFate::kInvalid;
    case CheckId::kIdentical:
      return QuadFate::kIdenticalCorners;
    case CheckId::kCollinear:
      return QuadFate::kCollinearCorners;
    case CheckId::kNotConvex:
      return QuadFate::kNotConvex;
    default:
      return finding.severity == Severity::kWarning ? QuadFate::kWarning : QuadFate::kError;
  }
}

// The line numbers and fates of the findings.
std::vector<std::pair<long long, QuadFate>> lines_and_fates(const LoopResult& run) {
  std::vector<std::pair<long long, QuadFate>> found;
  for (const Finding& finding : run.findings)
    found.emplace_back(finding.line_number, fate_of(finding));
  return found;
}

// A warning angle whose low angle is `low` to the last bit.
double warning_whose_low_is(double low) {
  double warning = low / 0.1;
  while (warning * 0.1 < low) warning = std::nextafter(warning, 90.0);
  while (warning * 0.1 > low) warning = std::nextafter(warning, 0.0);
  return warning;
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
  AngleLimits at_error{1.0, angle};
  EXPECT_EQ(run_on(kLifted, at_error).tally.warning_count, 1);
  AngleLimits at_warning{angle, 3.0};
  EXPECT_EQ(run_on(kLifted, at_warning).tally.low_count, 1);
  const AngleLimits at_low{warning_whose_low_is(angle), 80.0};
  ASSERT_EQ(at_low.low(), angle);
  const LoopResult planar = run_on(kLifted, at_low);
  EXPECT_EQ(planar.tally.low_count + planar.tally.warning_count + planar.tally.error_count, 0);
  // With the warning angle lowered to the error angle the warning band is
  // empty and a quad at that angle counts as low.
  AngleLimits equal{angle, angle};
  EXPECT_EQ(run_on(kLifted, equal).tally.low_count, 1);
  // And a quad exactly at the warning angle is copied as read.
  EXPECT_EQ(run_on(kLifted, at_warning).copy, kLifted);
}

TEST(CheckLines, NumbersEveryPieceAndReportsQuadsAboveTheErrorAngle) {
  const LoopResult run = run_on("0 comment\r\n\r\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n" +
                                std::string(1023, ' ') + "\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\n");
  EXPECT_EQ(run.tally.line_number, 6);
  EXPECT_EQ(run.tally.error_count, 2);
  using F = QuadFate;
  EXPECT_EQ(lines_and_fates(run),
            (std::vector<std::pair<long long, F>>{{3, F::kError}, {6, F::kError}}));
}

TEST(CheckLines, CopiesAnIncompleteQuadLineAndMeasuresNothingFromIt) {
  // The second line must not borrow the corners of the first.
  const std::string content =
      "4 16 0 0 0 1 0 0 1 1 0 0 1 1\n"
      "4 16 0 0 0 1 0 0 1 1\n"
      "4 16 0 0 0 1 0,5 0 1 1 0 0 1 1\n";
  const LoopResult run = run_on(content, {}, {true, false});
  EXPECT_EQ(run.tally.error_count, 1);
  using F = QuadFate;
  EXPECT_EQ(lines_and_fates(run), (std::vector<std::pair<long long, F>>{
                                      {1, F::kError}, {2, F::kInvalid}, {3, F::kInvalid}}));
  EXPECT_EQ(run.copy.substr(run.copy.find("5 24")),
            "5 24 0 0 0 1 1 0 1 0 0 0 1 1\n"
            "4 16 0 0 0 1 0 0 1 1\n"
            "4 16 0 0 0 1 0,5 0 1 1 0 0 1 1\n");
}

// The scan's loop over a text, every finding recorded and the file as its
// mends leave it.
struct ScanResult {
  RunTally tally;
  std::vector<Finding> findings;
  std::vector<std::string> replacements;  // of the findings that carry a mend
  std::string mended;
};

class StringEdits final : public LineEdits {
 public:
  void keep(std::string_view piece) override { text.append(piece); }
  void replace(std::string_view /*line*/, std::string_view replacement,
               MendKind /*kind*/) override {
    text.append(replacement);
  }
  std::string text;
};

ScanResult scan_on(std::string_view content, CheckGroups groups = {},
                   MendLevel level = MendLevel::kErrors) {
  std::string padded(content);
  padded.append(kReadableAfterPiece, '\0');
  LineReader reader;
  reader.restart(std::string_view(padded.data(), content.size()));
  CheckRules rules = check_rules_for({}, CheckMode::kScan);
  rules.lines.groups = groups;
  RecordingSink sink;
  StringEdits edits;
  ScanResult result;
  analyse_lines(reader, rules, {true, level, true}, result.tally, sink, &edits);
  result.findings = std::move(sink.findings);
  result.replacements = std::move(sink.replacements);
  result.mended = std::move(edits.text);
  return result;
}

TEST(CheckLines, CountsPiecesInTheClassicModeAndPhysicalLinesInTheScan) {
  // A comment whose 1,024th character begins what reads as a warped quad,
  // then a warped quad.
  const std::string content = "0 " + std::string(1021, 'x') +
                              "4 16 -20 0 -10 20 0 -10 20 8 -12 -20 8 -10\n"
                              "4 16 0 0 0 1 0 0 1 1 0 0 1 1\n";
  using F = QuadFate;
  using Found = std::vector<std::pair<long long, F>>;
  const LoopResult classic = run_on(content);
  EXPECT_EQ(lines_and_fates(classic), (Found{{2, F::kError}, {3, F::kError}}));
  const ScanResult scan = scan_on(content);
  ASSERT_EQ(scan.findings.size(), 1u);
  EXPECT_EQ(scan.findings[0].line_number, 2);
  EXPECT_EQ(scan.tally.line_number, 2);
  EXPECT_EQ(scan.tally.quad_count, 1);
  // Every byte of the long line reaches the mended file as it was.
  EXPECT_EQ(scan.mended.substr(0, content.find('\n') + 1),
            content.substr(0, content.find('\n') + 1));
}

TEST(AnalyseLines, MendsEachLineOnceTellingItWithOneFinding) {
  CheckGroups all{true, true, true, true};
  // One number with a needless zero either side: two findings, one mend.
  ScanResult run = scan_on("2 24 -00.50 0 0 1 1 1\n", all);
  ASSERT_EQ(run.findings.size(), 2u);
  EXPECT_EQ(run.findings[0].role, MendRole::kCarrier);
  EXPECT_EQ(run.findings[0].mend.kind, MendKind::kZeros);
  EXPECT_EQ(run.findings[1].role, MendRole::kResolved);
  EXPECT_EQ(run.mended, "2 24 -0.5 0 0 1 1 1\n");
  EXPECT_EQ(run.tally.mended_lines, 1);
  EXPECT_EQ(run.tally.resolved_errors, 2);
  // A line that draws nothing goes: its colour and its numbers go with it,
  // the mend told by the check that found it draws nothing.
  run = scan_on("2 16 1.50 0 0 1.50 0 0\n", all);
  ASSERT_EQ(run.findings.size(), 3u);
  EXPECT_EQ(run.findings[0].check, CheckId::kEdgeColour);
  EXPECT_EQ(run.findings[0].role, MendRole::kResolved);
  EXPECT_EQ(run.findings[1].check, CheckId::kIdentical);
  EXPECT_EQ(run.findings[1].role, MendRole::kCarrier);
  EXPECT_EQ(run.findings[1].mend.kind, MendKind::kRemoved);
  EXPECT_EQ(run.findings[2].role, MendRole::kResolved);
  EXPECT_EQ(run.mended, "");
  // A warped quad with untidy numbers: one split, its corners without the
  // zeros, told by the warp; the decimals stay the author's.
  run = scan_on("4 16 0 0 0 1.0 0 0 1 1 0 0 1 1.123456\r\n", all);
  ASSERT_EQ(run.findings.size(), 3u);
  EXPECT_EQ(run.findings[0].check, CheckId::kDecimals);
  EXPECT_EQ(run.findings[0].role, MendRole::kNone);
  EXPECT_EQ(run.findings[1].check, CheckId::kTrailingZeros);
  EXPECT_EQ(run.findings[1].role, MendRole::kResolved);
  EXPECT_EQ(run.findings[2].check, CheckId::kWarp);
  EXPECT_EQ(run.findings[2].role, MendRole::kCarrier);
  EXPECT_TRUE(run.findings[2].mend.zeros_too);
  EXPECT_EQ(run.mended,
            "3 16 0 0 0 1 0 0 1 1 0\r\n3 16 0 0 0 1 1 0 0 1 1.123456\r\n"
            "5 24 0 0 0 1 1 0 1 0 0 0 1 1.123456\r\n");
}

TEST(AnalyseLines, WritesAQuadsMendWithTheWordsOfItsLine) {
  // Every coordinate and the colour as written, however many digits; the
  // classic copy would round them to seven.
  ScanResult run = scan_on("4 0x2FF0029 0 0 0 1 0 0 1 1 0 0 1 1.0000001\n");
  ASSERT_EQ(run.replacements.size(), 1u);
  EXPECT_EQ(run.mended,
            "3 0x2FF0029 0 0 0 1 0 0 1 1 0\n3 0x2FF0029 0 0 0 1 1 0 0 1 1.0000001\n"
            "5 24 0 0 0 1 1 0 1 0 0 0 1 1.0000001\n");
  // A last line without an end stays without one.
  run = scan_on("0 x\r\n4 16 0 0 0 1 0 0 1 1 0 0 1 1");
  EXPECT_EQ(run.mended,
            "0 x\r\n3 16 0 0 0 1 0 0 1 1 0\r\n3 16 0 0 0 1 1 0 0 1 1\r\n"
            "5 24 0 0 0 1 1 0 1 0 0 0 1 1");
}

TEST(AnalyseLines, LeavesAQuadLineWithMoreThanItsNumbersToTheAuthor) {
  // Words after the fourteen numbers, a fifteenth number, a letter stuck
  // to the last, and lines joined by lone carriage returns: none is a quad
  // to mend, and not a byte of them is lost.
  for (const std::string line :
       {"4 16 0 0 0 10 0 0 1 1 0 0 10 0 // note\n", "4 16 0 0 0 10 0 0 1 1 0 0 10 0 5\n",
        "4 16 0 0 0 10 0 0 1 1 0 0 10 0x\n", "4 16 0 0 0 10 0 0 1.1.0 0 10 0\n",
        "4 16 0 0 0 10 0 0 1 1 0 0 10 0\r2 24 0 0 0 1 1 1\r3 16 0 0 0 1 0 0 0 1 0\r\n"}) {
    const ScanResult run = scan_on(line);
    ASSERT_EQ(run.findings.size(), 1u) << line;
    EXPECT_EQ(run.findings[0].check, CheckId::kInvalid) << line;
    EXPECT_EQ(run.mended, line);
  }
  // A quad whose one repeated corner leaves three in a line is not a
  // triangle in disguise.
  const std::string degenerate = "4 16 0 0 0 5 0 0 10 0 0 10 0 0\n";
  const ScanResult run = scan_on(degenerate);
  ASSERT_EQ(run.findings.size(), 1u);
  EXPECT_EQ(run.findings[0].check, CheckId::kIdentical);
  EXPECT_EQ(run.findings[0].role, MendRole::kNone);
  EXPECT_EQ(run.mended, degenerate);
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

// A quad line whose warp is near `degrees`: a parallelogram of random size
// and orientation, its third corner lifted out of its plane by as much as
// brings the warp to that angle, its coordinates written with four
// decimals (read where they lie) or with eleven significant digits (read
// number by number).
std::string quad_line_near(std::mt19937_64& random, double degrees) {
  std::uniform_real_distribution<double> spread(-20.0, 20.0);
  double corners[12];
  for (double& coordinate : corners) coordinate = spread(random);
  double u[3];
  double v[3];
  for (int axis = 0; axis < 3; ++axis) {
    u[axis] = corners[3 + axis] - corners[axis];
    v[axis] = corners[9 + axis] - corners[axis];
  }
  const double normal[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                            u[0] * v[1] - u[1] * v[0]};
  const double normal_length = std::hypot(normal[0], normal[1], normal[2]);
  const auto lift_by = [&](double lift) {
    for (int axis = 0; axis < 3; ++axis) {
      corners[6 + axis] = corners[3 + axis] + v[axis] + normal[axis] / normal_length * lift;
    }
    return testing::plain_warp(corners).max;
  };
  double low = 0.0;
  double high = 10.0;
  for (int step = 0; step < 60; ++step) {
    const double middle = (low + high) / 2;
    (lift_by(middle) < degrees ? low : high) = middle;
  }
  lift_by(low);
  const bool short_digits = random() % 2 == 0;
  std::string line = "4 16";
  for (double coordinate : corners) {
    char text[32];
    std::snprintf(text, sizeof text, short_digits ? " %.4f" : " %.11g", coordinate);
    line += text;
  }
  return line + "\r\n";
}

TEST(CheckLines, BandsAndReportsEveryQuadAsThePlainMeasureDoes) {
  // Quads a hair either side of each limit, where a shortcut that settles
  // a quad without its exact measure would first go wrong. The plain
  // measure reads the same text with strtod.
  std::mt19937_64 random(41);
  std::uniform_real_distribution<double> exponent(-7.0, -1.2);
  for (const AngleLimits& limits : {AngleLimits{1.0, 3.0}, AngleLimits{0.25, 2.0}}) {
    std::string content;
    std::vector<std::string> lines;
    for (int i = 0; i < 4000; ++i) {
      const double limit = i % 3 == 0 ? limits.low() : i % 3 == 1 ? limits.warning : limits.error;
      const double nearness = (random() % 2 == 0 ? 1 : -1) * std::pow(10.0, exponent(random));
      lines.push_back(quad_line_near(random, limit * (1 + nearness)));
      content += lines.back();
    }
    const LoopResult run = run_on(content, limits);
    const std::vector<Finding>& reports = run.findings;

    RunTally expected;
    std::vector<Finding> expected_reports;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const testing::PlainWarp warp = testing::plain_warp_of_line(lines[i]).value();
      if (warp.max > limits.error) {
        ++expected.error_count;
        expected_reports.push_back(
            quad_finding(static_cast<long long>(i) + 1, QuadFate::kError, warp.max));
      } else if (warp.max > limits.warning) {
        ++expected.warning_count;
        expected_reports.push_back(
            quad_finding(static_cast<long long>(i) + 1, QuadFate::kWarning, warp.max));
      } else if (warp.max > limits.low()) {
        ++expected.low_count;
      }
    }
    EXPECT_EQ(run.tally.low_count, expected.low_count);
    EXPECT_EQ(run.tally.warning_count, expected.warning_count);
    EXPECT_EQ(run.tally.error_count, expected.error_count);
    ASSERT_EQ(reports.size(), expected_reports.size());
    for (std::size_t i = 0; i < reports.size(); ++i) {
      ASSERT_EQ(reports[i].line_number, expected_reports[i].line_number);
      ASSERT_EQ(fate_of(reports[i]), fate_of(expected_reports[i]));
      ASSERT_EQ(std::bit_cast<std::uint64_t>(reports[i].angle),
                std::bit_cast<std::uint64_t>(expected_reports[i].angle));
    }
  }
}

}  // namespace
}  // namespace skewquad
