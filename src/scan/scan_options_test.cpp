// The scan's command line: what it settles, and each mistake told
// as a usage error with its own message.
#include "scan/scan_options.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "check/exit_status.h"
#include "test_files.h"

namespace skewquad {
namespace {

struct Parsed {
  ScanOptions options;
  std::string out;
  std::string err;
};

Parsed parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "--scan");
  std::FILE* out = testing::temporary_file();
  std::FILE* err = testing::temporary_file();
  Parsed parsed;
  parsed.options =
      parse_scan_options(static_cast<int>(arguments.size()), arguments.data(), out, err);
  parsed.out = testing::contents_of(out);
  parsed.err = testing::contents_of(err);
  std::fclose(out);
  std::fclose(err);
  return parsed;
}

TEST(ScanOptions, SettlesLimitsAndLevelsAsGiven) {
  const Parsed parsed = parse({"-w", "5", "--error=4", "--fail-on=warning", "--jobs=3", "a", "b"});
  EXPECT_FALSE(parsed.options.finished);
  EXPECT_EQ(parsed.options.limits.warning, 4.0);
  EXPECT_EQ(parsed.options.limits.error, 4.0);
  EXPECT_EQ(parsed.options.fail_on, FailOn::kWarning);
  EXPECT_EQ(parsed.options.jobs, 3U);
  EXPECT_EQ(parsed.options.paths, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(parsed.out, "");
  EXPECT_EQ(parsed.err, "Specified warning value > error value\nUsing warning angle = 4\n\n");
}

TEST(ScanOptions, RefusesAnglesOutOfRangeWithTheRangeStatus) {
  for (const char* angle : {"0", "90", "-1", "1e999"}) {
    const Parsed parsed = parse({"--warning", angle, "a"});
    EXPECT_TRUE(parsed.options.finished) << angle;
    EXPECT_EQ(parsed.options.exit_status, exit_status::kRange) << angle;
    EXPECT_NE(parsed.err, "") << angle;
  }
}

TEST(ScanOptions, TellsEachMistakeAsAUsageError) {
  const struct {
    std::vector<const char*> arguments;
    const char* message;
  } mistakes[] = {
      {{"-w", "", "a"}, "skewquad --scan: --warning needs an angle in degrees, not ''\n"},
      {{"--error=2x", "a"}, "skewquad --scan: --error needs an angle in degrees, not '2x'\n"},
      // Not the next path taken as the angle.
      {{"--warning=", "2", "a"}, "skewquad --scan: --warning= needs a value\n"},
      {{"--jobs=0x10", "a"},
       "skewquad --scan: --jobs needs a whole number from 1 to 1024, not '0x10'\n"},
      {{"--jobs=0", "a"}, "skewquad --scan: --jobs needs a whole number from 1 to 1024, not '0'\n"},
      {{"--jobs", "1025", "a"},
       "skewquad --scan: --jobs needs a whole number from 1 to 1024, not '1025'\n"},
      {{"--jobs=-1", "a"},
       "skewquad --scan: --jobs needs a whole number from 1 to 1024, not '-1'\n"},
      // A report where no one would read it: --fix changes what a SARIF log
      // or a page would show, and --diff takes standard output.
      {{"--fix", "--format=sarif", "a"},
       "skewquad --scan: --fix reports as text, json or github, not sarif (a SARIF log of the "
       "scan without --fix holds every mend as a fix)\n"},
      {{"--format=html", "--fix", "a"},
       "skewquad --scan: --fix reports as text, json or github, not html (a SARIF log of the "
       "scan without --fix holds every mend as a fix)\n"},
      {{"--diff", "--json", "a"},
       "skewquad --scan: --diff writes the patch on standard output and its report as text on "
       "standard error, not as json\n"},
      {{"--diff", "--format=github", "a"},
       "skewquad --scan: --diff writes the patch on standard output and its report as text on "
       "standard error, not as github\n"},
  };
  for (const auto& mistake : mistakes) {
    const Parsed parsed = parse(mistake.arguments);
    EXPECT_TRUE(parsed.options.finished) << mistake.message;
    EXPECT_EQ(parsed.options.exit_status, exit_status::kUsage) << mistake.message;
    EXPECT_EQ(parsed.err, mistake.message);
    EXPECT_EQ(parsed.out, "");
  }
}

TEST(ScanOptions, SaysTheRangeInUtf8) {
  EXPECT_EQ(parse({"-t", "90", "a"}).err,
            "skewquad --scan: the error angle must be greater than 0\xC2\xB0 and less than "
            "90\xC2\xB0, not 90\n");
}

}  // namespace
}  // namespace skewquad
