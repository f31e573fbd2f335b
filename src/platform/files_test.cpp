// The output file that replaces its input: private while it is written,
// faithful to the input's metadata, and never over a changed input.
#include "platform/files.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "test_files.h"

#if defined(__linux__)
#include <sys/xattr.h>
#endif

namespace skewquad::platform {
namespace {

namespace fs = std::filesystem;

// An in-place copy of `input` holding `content`, committed or not.
bool replace(const fs::path& input, const std::string& content, bool commit = true,
             const std::function<void()>& meanwhile = {}) {
  std::FILE* read = open_input(input.string().c_str());
  EXPECT_NE(read, nullptr);
  auto output = OutputFile::create(input.string().c_str(), read);
  std::fclose(read);
  EXPECT_NE(output, nullptr);
  if (output == nullptr) return false;
  std::fputs(content.c_str(), output->file());
  if (meanwhile) meanwhile();
  if (!commit) {
    output->discard();
    return false;
  }
  return output->commit();
}

TEST(OutputFile, ReplacesItsInputOnlyOnCommitAndLeavesNothingElse) {
  const testing::ScratchFolder folder;
  // The longest name a folder takes: the copy's own name must not grow it.
  const std::string name = std::string(250, 'p') + ".dat";
  const fs::path input = folder.write(name, "0 old\n");
  // While it is written the copy has no name anyone could open or swap.
  EXPECT_FALSE(replace(input, "0 new\n", false,
                       [&] { EXPECT_EQ(folder.names(), std::vector<std::string>{name}); }));
  EXPECT_EQ(folder.names(), std::vector<std::string>{name});
  EXPECT_EQ(testing::contents_of(input), "0 old\n");

  EXPECT_TRUE(replace(input, "0 new\n"));
  EXPECT_EQ(folder.names(), std::vector<std::string>{name});
  EXPECT_EQ(testing::contents_of(input), "0 new\n");
}

TEST(OutputFile, LeavesAnInputChangedDuringTheRunAsTheOtherProcessLeftIt) {
  const testing::ScratchFolder folder;
  const fs::path input = folder.write("part.dat", "0 old\n");
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"0 old\n0 more\n", [&] { folder.write("part.dat", "0 old\n0 more\n"); }},
      {"", [&] { fs::resize_file(input, 0); }},
      {"0 other\n",
       [&] {
         folder.write("other.dat", "0 other\n");
         fs::rename(folder.path() / "other.dat", input);
       }},
  };
  for (const auto& [left, change] : changes) {
    EXPECT_FALSE(replace(input, "0 new\n", true, change));
    EXPECT_EQ(testing::contents_of(input), left);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"part.dat"});
    folder.write("part.dat", "0 old\n");
  }
}

TEST(OutputFile, GivesTheCopyTheInputsModeAndAttributes) {
  const testing::ScratchFolder folder;
  const fs::path input = folder.write("part.dat", "0 old\n");
  fs::permissions(input, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#if defined(__linux__)
  const bool has_attributes = setxattr(input.c_str(), "user.author", "me", 2, 0) == 0;
#endif
  ASSERT_TRUE(replace(input, "0 new\n"));
  EXPECT_EQ(fs::status(input).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#if defined(__linux__)
  if (has_attributes) {
    char value[8] = {};
    EXPECT_EQ(getxattr(input.c_str(), "user.author", value, sizeof value), 2);
    EXPECT_STREQ(value, "me");
  }
#endif
}

}  // namespace
}  // namespace skewquad::platform
