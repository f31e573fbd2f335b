// The output file: a copy that replaces its input, committed or discarded.
#include "driver/output_file.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace skewquad {
namespace {

TEST(OutputFile, ReplacesItsInputOnlyOnCommitAndLeavesNothingElse) {
  const testing::ScratchFolder folder;
  const std::string input = folder.write("part.dat", "0 old\n").string();
  {
    auto output = OutputFile::create(input.c_str(), input.c_str());
    ASSERT_NE(output, nullptr);
    output->stream().write("0 new\n");
    output->discard();
  }
  EXPECT_EQ(folder.names(), std::vector<std::string>{"part.dat"});
  EXPECT_EQ(testing::contents_of(folder.path() / "part.dat"), "0 old\n");

  auto output = OutputFile::create(input.c_str(), input.c_str());
  ASSERT_NE(output, nullptr);
  output->stream().write("0 new\n");
  EXPECT_TRUE(output->commit());
  EXPECT_EQ(folder.names(), std::vector<std::string>{"part.dat"});
  EXPECT_EQ(testing::contents_of(folder.path() / "part.dat"), "0 new\n");
}

}  // namespace
}  // namespace skewquad
