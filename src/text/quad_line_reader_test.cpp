// The line probe and the quad line reader, each path against the others.
#include "text/quad_line_reader.h"

#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "geometry/warp.h"
#include "text/read_ahead.h"

namespace skewquad {
namespace {

TEST(ProbeLineType, ReadsTheLeadingInteger) {
  EXPECT_EQ(probe_line_type("4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n"), 4);
  EXPECT_EQ(probe_line_type("0 Name: 3001.dat\n"), 0);
  EXPECT_EQ(probe_line_type("  \t3 16 0 0 0"), 3);
  EXPECT_EQ(probe_line_type("+4 16"), 4);
  EXPECT_EQ(probe_line_type("04 16"), 4);
  EXPECT_EQ(probe_line_type("4.5 16"), 4);
  EXPECT_EQ(probe_line_type("4294967300 16"), 4);
}

TEST(ProbeLineType, IsMinusOneWithoutALeadingInteger) {
  EXPECT_EQ(probe_line_type(""), -1);
  EXPECT_EQ(probe_line_type("\r\n"), -1);
  EXPECT_EQ(probe_line_type("   \n"), -1);
  EXPECT_EQ(probe_line_type("- 4"), -1);
  EXPECT_EQ(probe_line_type("x4"), -1);
  // A byte-order mark (octal escapes) and a NUL before the type.
  EXPECT_EQ(probe_line_type("\357\273\2774 16 0 0 0 1 0 0 1 1 0 0 1 1"), -1);
  EXPECT_EQ(probe_line_type(std::string_view("\0004 16", 5)), -1);
}

QuadLine parsed(std::string_view line, bool expect_complete = true) {
  QuadLine quad;
  EXPECT_EQ(parse_quad(line, quad), expect_complete) << line;
  return quad;
}

TEST(ParseQuad, ReadsColourAndFourCornersInLineOrder) {
  const QuadLine quad = parsed("4 16 1 2 3 4 5 6 7 8 9 10 11 12\r\n");
  EXPECT_EQ(quad.line_type, 4);
  EXPECT_EQ(quad.colour, 16);
  EXPECT_TRUE(quad.hex_colour_text.empty());
  for (int corner = 0; corner < 4; ++corner) {
    EXPECT_EQ(quad.corners[corner].x, 3 * corner + 1);
    EXPECT_EQ(quad.corners[corner].y, 3 * corner + 2);
    EXPECT_EQ(quad.corners[corner].z, 3 * corner + 3);
  }
}

TEST(ParseQuad, AcceptsTheSpacingAndNumberFormsOfHandEditedFiles) {
  const QuadLine quad = parsed("\t4\t-1 -10.9 .25 12.5752 5. 1e-3 -0\v1-2 +3\f4 5 6E1 7");
  EXPECT_EQ(quad.colour, -1);
  EXPECT_EQ(quad.corners[0].x, -10.9);
  EXPECT_EQ(quad.corners[0].y, 0.25);
  EXPECT_EQ(quad.corners[0].z, 12.5752);
  EXPECT_EQ(quad.corners[1].x, 5.0);
  EXPECT_EQ(quad.corners[1].y, 1e-3);
  EXPECT_EQ(quad.corners[2].x, 1.0);
  EXPECT_EQ(quad.corners[2].y, -2.0);
  EXPECT_EQ(quad.corners[2].z, 3.0);
  EXPECT_EQ(quad.corners[3].z, 60.0);
  // Anything after the fourteenth number is ignored.
  EXPECT_EQ(parsed("4 16 0 0 0 1 0 0 1 1 0 0 1 1 trailing words").corners[3].z, 1.0);
}

TEST(ParseQuad, KeepsAHexadecimalDirectColourAsWritten) {
  const std::string line = "4 0x2FF0029 0 0 0 1 0 0 1 1 0 0 1 1\n";
  const QuadLine quad = parsed(line);
  EXPECT_EQ(quad.hex_colour_text, "0x2FF0029");
  EXPECT_EQ(quad.colour, 0x2FF0029);
  EXPECT_EQ(quad.corners[3].z, 1.0);
  EXPECT_EQ(parsed("4 0X2ff0029 0 0 0 1 0 0 1 1 0 0 1 1").hex_colour_text, "0X2ff0029");
  EXPECT_EQ(parsed("4 0x2FF0029.5 0 0 1 0 0 1 1 0 0 1 1").corners[0].x, 0.5);
}

TEST(ParseQuad, ForgetsAHexadecimalColourOnTheNextLine) {
  QuadLine quad;
  ASSERT_TRUE(parse_quad("4 0x2FF0029 0 0 0 1 0 0 1 1 0 0 1 1", quad));
  ASSERT_TRUE(parse_quad("4 16 0 0 0 1 0 0 1 1 0 0 1 1", quad));
  EXPECT_TRUE(quad.hex_colour_text.empty());
}

TEST(ParseQuad, WrapsADecimalColourInThirtyTwoBits) {
  EXPECT_EQ(parsed("4 4294967312 0 0 0 1 0 0 1 1 0 0 1 1").colour, 16);
}

TEST(ParseQuad, RejectsLinesThatDoNotSupplyFourteenNumbers) {
  parsed("4 16 0 0 0 1 0 0 1 1 0 0 1", false);
  parsed("4 16 0 0 0 1 0 0 1 1 0 0 1\r\n", false);
  parsed("4 16 0,5 0 0 1 0 0 1 1 0 0 1 1", false);
  parsed("4 0x 0 0 0 1 0 0 1 1 0 0 1 1", false);
  parsed("4 0xZ 0 0 0 1 0 0 1 1 0 0 1 1", false);
  parsed("4 +0x2FF0029 0 0 0 1 0 0 1 1 0 0 1 1", false);
  parsed("4.5 16 0 0 0 1 0 0 1 1 0 0 1 1", false);
  parsed("4 16 0 0 0 1 0 0 1 1 0 0 1 inf", false);
  // A NUL ends the text the parse sees (\000 before the last number).
  parsed(std::string_view("4 16 0 0 0 1 0 0 1 1 0 0 1\0001", 28), false);
}

TEST(ParseQuad, ReadsNothingBeyondItsPiece) {
  // The piece of a long line ends mid-number; the bytes after it belong to
  // the next piece and must not extend the last coordinate.
  const std::string buffer = "4 16 0 0 0 1 0 0 1 1 0 0 1 1234";
  const QuadLine quad = parsed(std::string_view(buffer.data(), buffer.size() - 3));
  EXPECT_EQ(quad.corners[3].z, 1.0);
  parsed(std::string_view(buffer.data(), buffer.size() - 4), false);
}

// read_quad (or read_whole_quad) with the room after the line it may read,
// filled with what would most easily be mistaken for more of the line.
QuadReading read_in_place(std::string_view line, QuadLine& quad, bool whole = false) {
  std::string buffer(line);
  buffer.append(kQuadLinePadding, '7');
  const std::string_view in_buffer(buffer.data(), line.size());
  const QuadReading reading = whole ? read_whole_quad(in_buffer, quad) : read_quad(in_buffer, quad);
  if (!quad.hex_colour_text.empty()) {
    // Point the colour text back into `line`, as the buffer goes away.
    quad.hex_colour_text =
        line.substr(static_cast<std::size_t>(quad.hex_colour_text.data() - buffer.data()),
                    quad.hex_colour_text.size());
  }
  return reading;
}

TEST(ReadQuad, RecognisesQuadsInACoordinatePlaneFromTheirText) {
  QuadLine quad;
  EXPECT_EQ(read_in_place("4 16 1 5 2 3 5 4 1 5 7 0 5 0\r\n", quad),
            QuadReading::kInCoordinatePlane);
  EXPECT_EQ(read_in_place("4 16 1 5 -2 3 05 -2 1 5 -2 0 5 -2\n", quad),
            QuadReading::kInCoordinatePlane);
  // Equal values written differently are not recognised, only measured.
  EXPECT_EQ(read_in_place("4 16 1 5 2 3 5.0 4 1 5 7 0 5 0\n", quad), QuadReading::kParsed);
  EXPECT_EQ(quad.corners[1].y, 5.0);
  // Nor are numbers the quick reading leaves to the full one.
  EXPECT_EQ(read_in_place("4 16 1 5e0 2 3 5e0 4 1 5e0 7 0 5e0 0\n", quad), QuadReading::kParsed);
  EXPECT_EQ(read_in_place("4 16 1 5 2 3 5 4 1 5 7 0 5\n", quad), QuadReading::kIncomplete);
}

std::string random_number(std::mt19937_64& random) {
  static const std::vector<std::string> odd = {"+1", "1e2", "-",    ".",  "1.2.3", "123456789",
                                               "-0", "x",   "0x10", "5.", "-.5"};
  if (random() % 30 == 0) return odd[random() % odd.size()];
  // A few values, so that corners often share a coordinate.
  static const std::vector<std::string> common = {"0", "-10", "10", "2.5", "-12.5752", ".25"};
  if (random() % 2 == 0) return common[random() % common.size()];
  std::string text = random() % 2 == 0 ? "-" : "";
  text += std::to_string(random() % 1000);
  if (random() % 2 == 0) text += "." + std::to_string(random() % 10000);
  return text;
}

// Whether the line is its fourteen numbers and nothing else, word by word:
// each word wholly an integer (the type), a colour, then a decimal.
bool is_fourteen_numbers_alone(const std::string& line) {
  const auto digits = [](std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
  };
  const auto unsigned_part = [](std::string_view word) {
    return word.starts_with('+') || word.starts_with('-') ? word.substr(1) : word;
  };
  const auto is_integer = [&](std::string_view word) { return digits(unsigned_part(word)); };
  const auto is_decimal = [&](std::string_view word) {
    std::string_view number = unsigned_part(word);
    const std::size_t exponent = number.find_first_of("eE");
    if (exponent != std::string_view::npos) {
      if (!is_integer(number.substr(exponent + 1))) return false;
      number = number.substr(0, exponent);
    }
    const std::size_t point = number.find('.');
    if (point == std::string_view::npos) return digits(number);
    const std::string_view before = number.substr(0, point);
    const std::string_view after = number.substr(point + 1);
    return (before.empty() || digits(before)) && (after.empty() || digits(after)) &&
           !(before.empty() && after.empty());
  };
  const auto is_colour = [&](std::string_view word) {
    return is_integer(word) ||
           (word.size() > 2 && (word.starts_with("0x") || word.starts_with("0X")) &&
            word.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string_view::npos);
  };
  std::vector<std::string_view> words;
  const std::string_view text(line);
  std::size_t at = 0;
  while ((at = text.find_first_not_of(" \t\r\n\v\f", at)) != std::string_view::npos) {
    const std::size_t end = std::min(text.find_first_of(" \t\r\n\v\f", at), text.size());
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  if (words.size() != 14 || !is_integer(words[0]) || !is_colour(words[1])) return false;
  for (std::size_t i = 2; i < words.size(); ++i) {
    if (!is_decimal(words[i])) return false;
  }
  return true;
}

TEST(ReadQuad, ReadsWhatParseQuadReadsAndRecognisesOnlyFlatQuads) {
  std::mt19937_64 random(4);
  int flat = 0;
  for (int i = 0; i < 100000; ++i) {
    std::string line = random() % 20 == 0 ? "4  0x2FF0029" : "4 16";
    std::vector<std::string> numbers(11 + random() % 3);
    for (std::string& number : numbers) number = random_number(random);
    // Half the quads lie in a coordinate plane, as far as their text goes.
    if (random() % 2 == 0) {
      const std::string shared = random_number(random);
      for (std::size_t n = random() % 3; n < numbers.size(); n += 3) numbers[n] = shared;
    }
    for (const std::string& number : numbers) line += (random() % 15 == 0 ? "\t" : " ") + number;
    if (random() % 5 != 0) line += "\r\n";
    QuadLine expected;
    const bool complete = parse_quad(line, expected);
    QuadLine quad;
    const QuadReading reading = read_in_place(line, quad);
    // Read whole, a quad is recognised alike and its corners read all the
    // same, if its numbers are all the line holds.
    QuadLine whole;
    const QuadReading whole_reading = read_in_place(line, whole, true);
    ASSERT_EQ(whole_reading != QuadReading::kIncomplete,
              complete && is_fourteen_numbers_alone(line))
        << line;
    ASSERT_TRUE(whole_reading == reading || whole_reading == QuadReading::kIncomplete) << line;
    ASSERT_EQ(reading != QuadReading::kIncomplete, complete) << line;
    if (reading == QuadReading::kInCoordinatePlane) {
      ++flat;
      // Flat to the last bit, or without a normal: in no band at all.
      const WarpMeasure measure = measure_warp(expected);
      ASSERT_TRUE(measure.max == 0.0 || std::isnan(measure.max)) << line;
      // Its corners are read whole only from a line of fourteen numbers.
      if (whole_reading == QuadReading::kIncomplete) continue;
      quad = whole;
    }
    if (reading != QuadReading::kIncomplete) {
      ASSERT_EQ(quad.line_type, expected.line_type);
      ASSERT_EQ(quad.colour, expected.colour);
      ASSERT_EQ(quad.hex_colour_text, expected.hex_colour_text);
      for (int corner = 0; corner < 4; ++corner) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(quad.corners[corner].x),
                  std::bit_cast<std::uint64_t>(expected.corners[corner].x))
            << line;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(quad.corners[corner].y),
                  std::bit_cast<std::uint64_t>(expected.corners[corner].y))
            << line;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(quad.corners[corner].z),
                  std::bit_cast<std::uint64_t>(expected.corners[corner].z))
            << line;
      }
    }
  }
  EXPECT_GT(flat, 20000);
}

}  // namespace
}  // namespace skewquad
