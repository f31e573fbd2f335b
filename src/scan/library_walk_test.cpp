// The walk of a scan: which files, in which order, links and overlaps.
#include "scan/library_walk.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_files.h"

namespace skewquad {
namespace {

namespace fs = std::filesystem;

// The paths a walk gives, relative to `folder`, with their problems.
std::vector<std::string> walked(const testing::ScratchFolder& folder,
                                const std::vector<std::string>& paths) {
  const fs::path here = fs::current_path();
  fs::current_path(folder.path());
  LibraryWalk walk(paths);
  std::vector<std::string> entries;
  ScanEntry entry;
  while (walk.next(entry)) {
    entries.push_back(entry.path + (entry.problem.empty() ? "" : " (" + entry.problem + ")"));
  }
  fs::current_path(here);
  return entries;
}

TEST(LibraryWalk, GivesLDrawFilesInSortedPathOrderOnce) {
  const testing::ScratchFolder folder;
  fs::create_directories(folder.path() / "lib/parts/s");
  fs::create_directories(folder.path() / "lib/p/48");
  for (const char* name :
       {"lib/parts/3001.dat", "lib/parts/s.dat", "lib/parts/s/3001s01.DAT", "lib/parts/readme.txt",
        "lib/p/48/1-4cyli.dat", "lib/p/x.Mpd", "lib/model.ldr", "lib/notes.datx", "other.txt"}) {
    folder.write(name, "0\n");
  }
  // A folder's files sort as if its name ended in '/': s.dat before s/.
  EXPECT_EQ(walked(folder, {"lib"}),
            (std::vector<std::string>{"lib/model.ldr", "lib/p/48/1-4cyli.dat", "lib/p/x.Mpd",
                                      "lib/parts/3001.dat", "lib/parts/s.dat",
                                      "lib/parts/s/3001s01.DAT"}));
  // Paths given are merged in order; a file named is checked whatever its
  // name; one reached twice is given once; one that is missing is given.
  EXPECT_EQ(walked(folder, {"other.txt", "lib/parts/", "lib/parts/s", "missing.dat"}),
            (std::vector<std::string>{"lib/parts/3001.dat", "lib/parts/s.dat",
                                      "lib/parts/s/3001s01.DAT", "missing.dat", "other.txt"}));
  // Under another spelling, a file is a second name of itself.
  EXPECT_EQ(walked(folder, {"lib/model.ldr", "./lib/model.ldr"}),
            (std::vector<std::string>{"./lib/model.ldr",
                                      "lib/model.ldr (the same file as ./lib/model.ldr)"}));
}

TEST(LibraryWalk, FollowsLinksToFilesButNotToFolders) {
  const testing::ScratchFolder folder;
  fs::create_directories(folder.path() / "lib/real");
  folder.write("lib/real/a.dat", "0\n");
  std::error_code error;
  fs::create_directory_symlink("real", folder.path() / "lib/loop", error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  fs::create_symlink("real/a.dat", folder.path() / "lib/b.dat");
  // A file reached by a link and by its own name is a file under its own
  // name, whichever comes first; one reached by two links from outside the
  // walk is a file under the first.
  fs::create_symlink("a.dat", folder.path() / "lib/real/z.dat");
  folder.write("outside.dat", "0\n");
  fs::create_symlink("../../outside.dat", folder.path() / "lib/real/o1.dat");
  fs::create_symlink("../outside.dat", folder.path() / "lib/o2.dat");
  EXPECT_EQ(
      walked(folder, {"lib"}),
      (std::vector<std::string>{"lib/b.dat (the same file as lib/real/a.dat)", "lib/o2.dat",
                                "lib/real/a.dat", "lib/real/o1.dat (the same file as lib/o2.dat)",
                                "lib/real/z.dat (the same file as lib/real/a.dat)"}));
  EXPECT_EQ(walked(folder, {"lib/real"}),
            (std::vector<std::string>{"lib/real/a.dat", "lib/real/o1.dat",
                                      "lib/real/z.dat (the same file as lib/real/a.dat)"}));
}

}  // namespace
}  // namespace skewquad
