#include "geometry/quad.h"

#include <string>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace skewquad
