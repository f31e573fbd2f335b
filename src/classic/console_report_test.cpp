// The file summary of a classic run, band by band.
#include "classic/console_report.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace skewquad {
namespace {

TEST(PrintSummary, ShowsEachBandOnlyWhereItHasQuads) {
  std::FILE* console = testing::temporary_file();
  RunTally tally;
  tally.low_count = 2;
  tally.warning_count = 3000000000LL;
  print_summary(tally, {}, console);
  EXPECT_EQ(testing::contents_of(console),
            "\n\n\n----------File Summary-------------"
            "\n\n2 quad(s) between 0.1 and 1 degrees"
            "\n\nWarning: 3000000000 quad(s) between 1 and 3 degrees"
            "\n\nNo quad above 3 degrees"
            "\n\n-----------------------------------\n"
            "\nAll quads are planar enough!");
  std::fclose(console);

  console = testing::temporary_file();
  print_summary(RunTally{}, {2.0, 3.0}, console);
  EXPECT_EQ(testing::contents_of(console),
            "\n\n\n----------File Summary-------------"
            "\n\nNo quad between 2 and 3 degrees"
            "\n\nNo quad above 3 degrees"
            "\n\n-----------------------------------\n");
  std::fclose(console);
}

}  // namespace
}  // namespace skewquad
