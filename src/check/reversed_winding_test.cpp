// A face reversed: its corners in the reverse order, every word and space
// as written; any line that is not exactly a face is left alone.
#include "check/reversed_winding.h"

#include <string>

#include <gtest/gtest.h>

namespace skewquad {
namespace {

std::string reversed(const std::string& line) {
  std::string out = "kept|";
  return append_reversed_winding(out, line) ? out.substr(5) : "(left)";
}

TEST(ReversedWinding, MovesOnlyTheCornersWordsKeepingEverySpace) {
  EXPECT_EQ(reversed("3 16 1 2 3 4 5 6 7 8 9\n"), "3 16 7 8 9 4 5 6 1 2 3\n");
  EXPECT_EQ(reversed("4 16 1 2 3 4 5 6 7 8 9 10 11 12\r\n"), "4 16 10 11 12 7 8 9 4 5 6 1 2 3\r\n");
  // The runs of white space stay where they stood; the words as written.
  EXPECT_EQ(reversed("  3\t0x2FF0000  1.50 -0 .5   4 5 6 7 8 9  \n"),
            "  3\t0x2FF0000  7 8 9   4 5 6 1.50 -0 .5  \n");
  // A last line without its end stays without one.
  EXPECT_EQ(reversed("3 16 1 2 3 4 5 6 7 8 9"), "3 16 7 8 9 4 5 6 1 2 3");
  // A texture map's face turns as the face it holds.
  EXPECT_EQ(reversed("0 !: 3 16 1 2 3 4 5 6 7 8 9\n"), "0 !: 3 16 7 8 9 4 5 6 1 2 3\n");
}

TEST(ReversedWinding, LeavesEveryLineThatIsNotExactlyAFace) {
  for (const char* line : {"2 24 1 2 3 4 5 6\n", "5 24 1 2 3 4 5 6 7 8 9 10 11 12\n",
                           "1 16 0 0 0 1 0 0 0 1 0 0 0 1 3 4.dat\n", "0 // 3 16 1 2 3\n",
                           "3 16 1 2 3 4 5 6 7 8\n",               // a corner short
                           "4 16 1 2 3 4 5 6 7 8 9 10 11 12 x\n",  // words after it
                           "33 16 1 2 3 4 5 6 7 8 9\n", "0 !: 2 24 1 2 3 4 5 6\n", ""}) {
    EXPECT_EQ(reversed(line), "(left)") << line;
  }
}

}  // namespace
}  // namespace skewquad
