// The classic command line: limits, flags, messages and statuses.
#include "classic/options.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_files.h"

namespace skewquad {
namespace {

struct Parsed {
  Options options;
  std::string console;
};

Parsed parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "skewquad");
  std::FILE* console = testing::temporary_file();
  Parsed parsed;
  parsed.options = parse_options(static_cast<int>(arguments.size()), arguments.data(), console);
  parsed.console = testing::contents_of(console);
  std::fclose(console);
  return parsed;
}

const std::string kUsage =
    "Usage: Skewquad [-w <angle>] [-t <angle>] [-c] [-o] LdrawFile [LdrawFileOut]\n"
    "Options\n"
    "  -w <angle>: Define warning angle threshold\n"
    "  -t <angle>: Define error angle threshold\n"
    "  -c        : Automatically split warped quads into triangles\n"
    "  -o        : Do not create conditional lines when splitting quads\n"
    "Press <Enter> to quit";
const std::string kNonStandard =
    "\n*********************** Warning *************************** \n"
    "   Coplanarity angle thresholds use non-standard values\n"
    "Results can't be used for LDraw Parts Tracker certification\n"
    "*********************** Warning *************************** \n\n";

std::string echo(const char* warning, const char* error) {
  return std::string("Coplanarity warning angle = ") + warning +
         "\nCoplanarity threshold angle = " + error + "\n";
}

TEST(ParseOptions, TakesTheStandardLimitsByDefault) {
  const Parsed parsed = parse({"part.dat"});
  EXPECT_EQ(parsed.options.exit_status, 0);
  EXPECT_EQ(parsed.options.file_index, 1);
  EXPECT_EQ(parsed.options.limits.warning, 1.0);
  EXPECT_EQ(parsed.options.limits.error, 3.0);
  EXPECT_EQ(parsed.options.limits.low(), 0.1);
  EXPECT_FALSE(parsed.options.flags.auto_split);
  EXPECT_FALSE(parsed.options.flags.no_conditional);
  EXPECT_EQ(parsed.console, echo("1", "3"));
}

TEST(ParseOptions, SelectsAnOptionByItsSecondCharacterOnly) {
  const Parsed parsed = parse({"-cx", "-oops", "-w5", "2", "part.dat", "-w", "80"});
  EXPECT_TRUE(parsed.options.flags.auto_split);
  EXPECT_TRUE(parsed.options.flags.no_conditional);
  EXPECT_EQ(parsed.options.limits.warning, 2.0);
  // Options after the input file name are file names, not options.
  EXPECT_EQ(parsed.options.file_index, 5);
  EXPECT_EQ(parsed.console, kNonStandard + echo("2", "3"));
}

TEST(ParseOptions, TakesTheNextArgumentAsTheValueWhateverItHolds) {
  // "-c" is the value of -w and holds no number: the angle stays 1.
  const Parsed parsed = parse({"-w", "-c", "part.dat"});
  EXPECT_FALSE(parsed.options.flags.auto_split);
  EXPECT_EQ(parsed.options.limits.warning, 1.0);
  EXPECT_EQ(parsed.console, echo("1", "3"));
  EXPECT_EQ(parse({"-w", "1.0", "-t", "3", "x"}).console, echo("1", "3"));
  EXPECT_EQ(parse({"-w", " 2.5degrees", "x"}).options.limits.warning, 2.5);
  EXPECT_EQ(parse({"-t", "4", "-t", "2", "x"}).options.limits.error, 2.0);
}

TEST(ParseOptions, RejectsAnglesOutsideTheOpenRange) {
  const Parsed zero = parse({"-w", "0", "part.dat"});
  EXPECT_EQ(zero.options.exit_status, 3);
  EXPECT_EQ(zero.console,
            "Coplanarity warning angle (-w 0) must be in [0\xB0..90\xB0]\nPress <Enter> to quit");
  const Parsed ninety = parse({"-t", "90", "-w", "0", "part.dat"});
  EXPECT_EQ(ninety.options.exit_status, 3);
  EXPECT_EQ(
      ninety.console,
      "Coplanarity error threshold (-t 90) must be in [0\xB0..90\xB0]\nPress <Enter> to quit");
  EXPECT_EQ(
      parse({"-t", "1e999", "x"}).console,
      "Coplanarity error threshold (-t inf) must be in [0\xB0..90\xB0]\nPress <Enter> to quit");
  EXPECT_EQ(parse({"-w", "-0.123456789", "x"}).console,
            "Coplanarity warning angle (-w -0.1234568) must be in [0\xB0..90\xB0]\n"
            "Press <Enter> to quit");
  EXPECT_EQ(parse({"-w", "89.9", "-t", "0.5", "x"}).options.exit_status, 0);
}

TEST(ParseOptions, LowersAWarningAngleAboveTheErrorAngle) {
  const Parsed parsed = parse({"-w", "5", "part.dat"});
  EXPECT_EQ(parsed.options.limits.warning, 3.0);
  EXPECT_EQ(parsed.options.limits.low(), 3.0 * 0.1);
  EXPECT_EQ(parsed.console, kNonStandard +
                                "Specified warning value > error value\n"
                                "Using warning angle = 3\n\n" +
                                echo("3", "3"));
  const Parsed low = parse({"-t", "2.5", "part.dat"});
  EXPECT_EQ(low.options.limits.low(), 0.1);
  EXPECT_EQ(low.console, kNonStandard + echo("1", "2.5"));
}

TEST(ParseOptions, PrintsTheUsageForEveryMistakeInTheArguments) {
  EXPECT_EQ(parse({}).console, kUsage);
  EXPECT_EQ(parse({}).options.exit_status, 1);
  for (const std::vector<const char*>& arguments :
       {std::vector<const char*>{"-x", "part.dat"}, {"-", "part.dat"}, {"-w"}, {"-c", "-t"}}) {
    const Parsed parsed = parse(arguments);
    EXPECT_EQ(parsed.options.exit_status, 1);
    EXPECT_EQ(parsed.console, kUsage);
  }
  // Without a file name the limits are settled and echoed first.
  const Parsed no_file = parse({"-w", "2"});
  EXPECT_EQ(no_file.options.exit_status, 1);
  EXPECT_EQ(no_file.console, kNonStandard + echo("2", "3") + kUsage);
}

}  // namespace
}  // namespace skewquad
