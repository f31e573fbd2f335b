// The scan's report formats, finding by finding, and the sink that
// hands a long report on before it grows past its budget.
#include "scan/report_printer.h"

#include <gtest/gtest.h>

#include "check/quad_fate.h"
#include "scan/report_window.h"
#include "test_files.h"

namespace skewquad {
namespace {

const Finding kEveryFate[] = {
    quad_finding(2, QuadFate::kError, 60.00000102348965),
    quad_finding(3, QuadFate::kIdenticalCorners, 0.0),
    quad_finding(4, QuadFate::kCollinearCorners, 0.0),
    quad_finding(5, QuadFate::kNotConvex, 0.0),
    quad_finding(6, QuadFate::kInvalid, 0.0),
    quad_finding(7, QuadFate::kWarning, 2.4299430536211597),
};

std::string printed(ReportPrinter& printer, const std::string& path) {
  const std::string field = printer.path_field(path);
  std::string out;
  for (const Finding& finding : kEveryFate) printer.finding(field, finding, 0, out);
  printer.problem(field, {path, "No such file or directory", EntryKind::kFile, 0, {}}, out);
  printer.problem(field, {path, "Permission denied", EntryKind::kFolder, 0, {}}, out);
  printer.problem(field, {path, "not a regular file", EntryKind::kSkipped, 0, {}}, out);
  const ScanTotals totals{.files = 3,
                          .unreadable = 1,
                          .unreadable_folders = 1,
                          .skipped = 2,
                          .quads = 13,
                          .errors = 6,
                          .files_with_errors = 2,
                          .warnings = 2,
                          .files_with_warnings = 2,
                          .low = 2};
  printer.summary(totals, out);
  return out;
}

TEST(ReportPrinter, WritesTextAsCompilersWriteDiagnostics) {
  const std::string expected =
      "a b.dat:2: error: quad warped by 60\xC2\xB0 (error angle 2.5\xC2\xB0)\n"
      "a b.dat:3: error: quad has identical corners\n"
      "a b.dat:4: error: quad has collinear corners\n"
      "a b.dat:5: error: quad is not convex (concave or bow-tie)\n"
      "a b.dat:6: error: invalid quad line\n";
  const std::string problems =
      "a b.dat: error: can't read file: No such file or directory\n"
      "a b.dat: error: can't read folder: Permission denied\n"
      "a b.dat: warning: skipped: not a regular file\n"
      "Checked 3 file(s) (1 unreadable), 1 folder(s) unreadable, 2 link(s) skipped, 13 quad(s): "
      "6 error(s) in 2 file(s), 2 warning(s) in 2 file(s), 2 in the low band\n";
  EXPECT_EQ(printed(*text_printer({{0.5, 2.5}, false}), "a b.dat"), expected + problems);
  EXPECT_EQ(printed(*text_printer({{0.5, 2.5}, true}), "a b.dat"),
            expected +
                "a b.dat:7: warning: quad warped by 2.43\xC2\xB0 (warning angle 0.5\xC2\xB0)\n" +
                problems);
}

TEST(ReportPrinter, WritesJsonLinesWithEveryFindingAndExactAngles) {
  EXPECT_EQ(
      printed(*json_printer({}), "q\"\xFF.dat"),
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"line\":2,\"severity\":\"error\",\"check\":\"warp\","
      "\"angle\":60.00000102348965}\n"
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"line\":3,\"severity\":\"error\",\"check\":"
      "\"identical\"}\n"
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"line\":4,\"severity\":\"error\",\"check\":"
      "\"collinear\"}\n"
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"line\":5,\"severity\":\"error\",\"check\":\"not_"
      "convex\"}\n"
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"line\":6,\"severity\":\"error\",\"check\":\"invalid\"}"
      "\n"
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"line\":7,\"severity\":\"warning\",\"check\":\"warp\","
      "\"angle\":2.4299430536211597}\n"
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"severity\":\"error\",\"check\":\"unreadable\","
      "\"message\":\"No such file or directory\"}\n"
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"severity\":\"error\",\"check\":\"unreadable\","
      "\"message\":\"Permission denied\"}\n"
      "{\"file\":\"q\\\"\xEF\xBF\xBD.dat\",\"severity\":\"warning\",\"check\":\"skipped\","
      "\"message\":\"not a regular file\"}\n"
      "{\"summary\":{\"files\":3,\"unreadable\":1,\"unreadable_folders\":1,\"skipped\":2,"
      "\"quads\":13,\"errors\":6,\"warnings\":2,\"low\":2}}\n");
}

// A finding whose line was mended, by a mend it carries or another's.
Finding mended(Finding finding, MendKind kind, MendRole role = MendRole::kCarrier) {
  finding.role = role;
  finding.mend.kind = kind;
  finding.mended = true;
  return finding;
}

TEST(ReportPrinter, WritesEachMendOnceAsFixedAndCountsThem) {
  Finding zeros;
  zeros.line_number = 6;
  zeros.check = CheckId::kTrailingZeros;
  zeros.text = "1.50";
  const Finding mended_findings[] = {
      mended(quad_finding(2, QuadFate::kError, 14.32), MendKind::kWarpSplit),
      mended(quad_finding(3, QuadFate::kWarning, 2.43), MendKind::kWarpSplit),
      mended(quad_finding(4, QuadFate::kNotConvex, 0.0), MendKind::kConcaveSplit),
      mended(quad_finding(5, QuadFate::kIdenticalCorners, 0.0), MendKind::kIdenticalTriangle),
      // Settled by the mend of its line, which the next finding tells.
      mended(zeros, MendKind::kNone, MendRole::kResolved),
      mended(quad_finding(6, QuadFate::kCollinearCorners, 0.0), MendKind::kCollinearTriangle)};
  const ScanTotals totals{.files = 2, .unwritten = 1, .quads = 9, .mended = 5, .files_mended = 1};
  const ReportSettings settings{{}, false, true, false};
  std::string text;
  std::string json;
  const auto text_report = text_printer(settings);
  const auto json_report = json_printer(settings);
  for (const Finding& finding : mended_findings) {
    text_report->finding("p.dat", finding, 0, text);
    json_report->finding("\"p.dat\"", finding, 0, json);
  }
  text_report->problem("p.dat", {"p.dat", "Permission denied", EntryKind::kUnwritten, 0, {}}, text);
  text_report->summary(totals, text);
  json_report->summary(totals, json);
  EXPECT_EQ(text,
            "p.dat:2: fixed: quad split into two triangles (warped by 14.32\xC2\xB0)\n"
            "p.dat:3: fixed: quad split into two triangles (warped by 2.43\xC2\xB0)\n"
            "p.dat:4: fixed: concave quad split into two triangles\n"
            "p.dat:5: fixed: quad with identical corners replaced by a triangle\n"
            "p.dat:6: fixed: quad with collinear corners replaced by a triangle\n"
            "p.dat: error: can't write file: Permission denied\n"
            "Checked 2 file(s) (0 unreadable), 1 not written, 9 quad(s): 0 error(s) in 0 file(s), "
            "0 warning(s) in 0 file(s), 0 in the low band; 5 fixed in 1 file(s)\n");
  EXPECT_EQ(json.substr(0, json.find('\n')),
            "{\"file\":\"p.dat\",\"line\":2,\"severity\":\"error\",\"check\":\"warp\","
            "\"angle\":14.32,\"fixed\":true,\"became\":\"2 triangles\"}");
  EXPECT_NE(json.find("\"line\":5,\"severity\":\"error\",\"check\":\"identical\",\"fixed\":true,"
                      "\"became\":\"1 triangle\"}\n{\"file\":\"p.dat\",\"line\":6,"),
            std::string::npos);
  EXPECT_NE(json.find("\"became\":\"1 triangle\"}\n{\"summary\""), std::string::npos);
  EXPECT_NE(json.find("\"fixed\":5,\"files_fixed\":1,\"unwritten\":1}}"), std::string::npos);
}

TEST(ReportPrinter, QuotesATextPathHoldingControlCharactersSoAFindingIsOneLine) {
  const auto printer = text_printer({});
  EXPECT_EQ(printer->path_field("parts/3001.dat"), "parts/3001.dat");
  EXPECT_EQ(printer->path_field("a\"b\\c.dat"), "a\"b\\c.dat");
  EXPECT_EQ(printer->path_field(std::string("a\nb:1: error: \"\\\x1B[2J\r\x7F\0.dat", 27)),
            "\"a\\nb:1: error: \\\"\\\\\\033[2J\\r\\177\\000.dat\"");
}

TEST(PrintingSink, HandsTheReportOnOnceItReachesTheBudget) {
  const auto printer = text_printer({});
  std::string out;
  std::vector<std::string> handed;
  LineOccurrences occurrences;
  PrintingSink sink(
      *printer, "p.dat", out, 100,
      [&handed](std::string& full) {
        handed.push_back(full);
        full.clear();
      },
      occurrences);
  for (long long line = 1; line <= 5; ++line)
    sink.take(quad_finding(line, QuadFate::kInvalid, 0.0));
  // Each line is 34 bytes: the third reaches 100.
  ASSERT_EQ(handed.size(), 1U);
  EXPECT_EQ(handed[0].size(), 3 * 34U);
  EXPECT_EQ(out, "p.dat:4: error: invalid quad line\np.dat:5: error: invalid quad line\n");
}

TEST(LineOccurrences, CountsFindingsOnLinesAlikeApartFromAllOthers) {
  // Three copies of one warped quad among many other lines: each copy a
  // count of its own, whatever else shares its counter.
  LineOccurrences occurrences;
  std::vector<std::string> lines;
  lines.reserve(200000);
  for (int i = 0; i < 200000; ++i)
    lines.push_back("3 16 " + std::to_string(i) + " 0 0 1 0 0 0 1 0\n");
  std::vector<std::uint32_t> copies;
  for (int round = 0; round < 3; ++round) {
    for (const std::string& line : lines) {
      Finding finding = quad_finding(1, QuadFate::kError, 60.0, line);
      occurrences.next(finding);
    }
    copies.push_back(occurrences.next(quad_finding(1, QuadFate::kError, 60.0, "4 16 0 0 0 1\r\n")));
  }
  EXPECT_TRUE(copies[0] < copies[1] && copies[1] < copies[2]);
  // Another check on the same line counts apart, and a new file anew.
  occurrences.clear();
  EXPECT_EQ(occurrences.next(quad_finding(1, QuadFate::kError, 60.0, "4 16 0 0 0 1\n")), 0U);
  EXPECT_EQ(occurrences.next(quad_finding(1, QuadFate::kInvalid, 0.0, "4 16 0 0 0 1\n")), 0U);
  EXPECT_EQ(occurrences.next(quad_finding(1, QuadFate::kError, 60.0, "4 16 0 0 0 1")), 1U);
}

TEST(ReportOutput, TurnsItemSeparatorsIntoCommasOnlyForTheReportThatListsItems) {
  // A 0x1E byte a diffed line or a path holds comes out as it is; the SARIF
  // log's separators become the commas of its list.
  for (const bool separates : {false, true}) {
    std::FILE* file = testing::temporary_file();
    ReportOutput output(file, {}, separates);
    output.write(std::string("a\x1e") + "b\n");
    output.write(std::string("\x1e") + "c\n");
    ASSERT_TRUE(output.finish());
    EXPECT_EQ(testing::contents_of(file), separates ? "a b\n,c\n"
                                                    : "a\x1e"
                                                      "b\n\x1e"
                                                      "c\n");
    std::fclose(file);
  }
}

}  // namespace
}  // namespace skewquad
