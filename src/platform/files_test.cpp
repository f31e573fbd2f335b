// The output file that replaces its input: private while it is written,
// faithful to the input's metadata, and never over a changed input.
#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "test_files.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
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

// Whether any file in `folder` but `name` can be opened for reading.
bool others_can_be_read(const testing::ScratchFolder& folder, const std::string& name) {
  for (const std::string& other : folder.names()) {
    if (other == name) continue;
    std::FILE* file = open_input((folder.path() / other).string().c_str());
    if (file != nullptr) {
      std::fclose(file);
      return true;
    }
  }
  return false;
}

TEST(OutputFile, ReplacesItsInputOnlyOnCommitAndLeavesNothingElse) {
  const testing::ScratchFolder folder;
  // The longest name a folder takes: the copy's own name must not grow it.
  const std::string name = std::string(250, 'p') + ".dat";
  const fs::path input = folder.write(name, "0 old\n");
  // While it is written no one else can open the copy.
  EXPECT_FALSE(
      replace(input, "0 new\n", false, [&] { EXPECT_FALSE(others_can_be_read(folder, name)); }));
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
#if !defined(_WIN32)
    // The C library on Windows renames nothing over an existing file.
    {"0 other\n",
     [&] {
       folder.write("other.dat", "0 other\n");
       fs::rename(folder.path() / "other.dat", input);
     }},
#endif
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
#if defined(_WIN32)
  SetFileAttributesW(input.c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(replace(input, "0 new\n"));
  EXPECT_EQ(GetFileAttributesW(input.c_str()) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
#else
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(input, mode);
#if defined(__linux__)
  const bool has_attributes = setxattr(input.c_str(), "user.author", "me", 2, 0) == 0;
#endif
  ASSERT_TRUE(replace(input, "0 new\n"));
  EXPECT_EQ(fs::status(input).permissions(), mode);
#if defined(__linux__)
  if (has_attributes) {
    char value[8] = {};
    EXPECT_EQ(getxattr(input.c_str(), "user.author", value, sizeof value), 2);
    EXPECT_STREQ(value, "me");
  }
#endif
#endif
}

TEST(CreateNewFile, NeverOpensAFileThatExists) {
  const testing::ScratchFolder folder;
  const fs::path existing = folder.write("existing.dat", "0 kept\n");
  errno = 0;
  EXPECT_EQ(create_new_file(existing.string().c_str()), nullptr);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(testing::contents_of(existing), "0 kept\n");
  std::FILE* created = create_new_file((folder.path() / "new.dat").string().c_str());
  ASSERT_NE(created, nullptr);
  std::fclose(created);
}

}  // namespace
}  // namespace skewquad::platform
