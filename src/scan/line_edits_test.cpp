// The unified diff of a mend: hunks, their context and their numbers.
#include "scan/line_edits.h"

#include <gtest/gtest.h>

namespace skewquad {
namespace {

// The diff of a file of `lines` numbered lines whose lines in `mended`
// each become two.
std::string diff_of(int lines, std::initializer_list<int> mended, bool last_line_ended = true) {
  std::string out;
  DiffEdits diff("./p.dat", out, 1 << 20, [](std::string&) {});
  for (int line = 1; line <= lines; ++line) {
    std::string text = std::to_string(line);
    if (line < lines || last_line_ended) text += '\n';
    if (std::find(mended.begin(), mended.end(), line) != mended.end()) {
      diff.replace(text, "a" + std::to_string(line) + "\nb" + std::to_string(line) + "\n",
                   MendKind::kWarpSplit);
    } else {
      diff.keep(text);
    }
  }
  diff.finish();
  return out;
}

TEST(DiffEdits, JoinsChangesSixLinesApartAndSplitsThoseSevenApart) {
  EXPECT_EQ(
      diff_of(20, {5, 12}),
      "--- a/p.dat\n+++ b/p.dat\n@@ -2,14 +2,16 @@\n 2\n 3\n 4\n-5\n+a5\n+b5\n 6\n 7\n 8\n 9\n"
      " 10\n 11\n-12\n+a12\n+b12\n 13\n 14\n 15\n");
  EXPECT_EQ(diff_of(20, {2, 10}),
            "--- a/p.dat\n+++ b/p.dat\n@@ -1,5 +1,6 @@\n 1\n-2\n+a2\n+b2\n 3\n 4\n 5\n"
            "@@ -7,7 +8,8 @@\n 7\n 8\n 9\n-10\n+a10\n+b10\n 11\n 12\n 13\n");
}

TEST(DiffEdits, MarksALastLineWithoutItsEndAndWritesNothingForNoChange) {
  EXPECT_EQ(diff_of(3, {}), "");
  EXPECT_EQ(diff_of(2, {1}, false),
            "--- a/p.dat\n+++ b/p.dat\n@@ -1,2 +1,3 @@\n-1\n+a1\n+b1\n 2\n"
            "\\ No newline at end of file\n");
}

}  // namespace
}  // namespace skewquad
