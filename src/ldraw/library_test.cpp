// The library from both its sources: the root found above a file, the
// colours of its LDConfig.ldr, and sub-files looked up as LDraw looks them
// up.
#include "ldraw/library.h"

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_files.h"

namespace skewquad {
namespace {

// The files of a small library, laid out as the real one, and a model
// beside it.
const std::pair<const char*, const char*> kFiles[] = {
    {"ldraw/LDConfig.ldr",
     "0 !COLOUR Black CODE 0 VALUE #1B2A34 EDGE #2B2B2B\n"
     "0 !COLOUR Main_Colour CODE 16 VALUE #FFFF80 EDGE #333333\n"},
    {"ldraw/parts/3001.dat", "1 16 0 0 0 1 0 0 0 1 0 0 0 1 S\\3001s01.dat\n"},
    {"ldraw/parts/s/3001s01.dat", "1 16 0 0 0 1 0 0 0 1 0 0 0 1 box5.dat\n"},
    {"ldraw/p/box5.dat", "4 16 0 0 0 1 0 0 1 1 0 0 1 0\n"},
    {"ldraw/p/48/1-4cyli.dat", "0 a hi-res primitive\n"},
    {"ldraw/p/8/1-4cyli.dat", "0 a lo-res primitive\n"},
    {"ldraw/models/car.mpd", "0 FILE car.ldr\n1 16 0 0 0 1 0 0 0 1 0 0 0 1 Wheel.ldr\n"},
    {"ldraw/models/wheel.ldr", "0 a file beside the model\n"},
    // A library without LDConfig.ldr, whose parts refer to each other.
    {"bare/parts/a.dat", "1 16 0 0 0 1 0 0 0 1 0 0 0 1 b.dat\n"},
    {"bare/parts/b.dat",
     "1 16 0 0 0 1 0 0 0 1 0 0 0 1 a.dat\n1 16 0 0 0 1 0 0 0 1 0 0 0 1 c.dat\n"},
    {"bare/p/p.dat", "0\n"},
};

// Each source holding the same files: on disk, and in memory.
struct Sources {
  testing::ScratchFolder folder;
  TextsInMemory memory;
  Sources() {
    for (const auto& [path, text] : kFiles) {
      std::filesystem::create_directories((folder.path() / path).parent_path());
      folder.write(path, text);
      memory.add(path, text);
    }
  }
  // The path of `name` and the source that holds it, for each source.
  std::vector<std::pair<const LibrarySource*, std::string>> each(const std::string& name) const {
    return {{&files_on_disk(), (folder.path() / name).string()}, {&memory, "/" + name}};
  }
};

TEST(Library, FindsItsRootAboveAFileOrAFolderByItsLdconfig) {
  const Sources sources;
  for (const auto& [source, part] : sources.each("ldraw/parts/s/3001s01.dat")) {
    const std::string root = find_library_root(*source, part);
    EXPECT_EQ(root,
              source->absolute(*source->parent_of(*source->parent_of(*source->parent_of(part)))));
    EXPECT_EQ(find_library_root(*source, *source->parent_of(part)), root);
    // A library without LDConfig.ldr is found by its parts/ and p/; a file
    // outside any library has none.
    const std::string bare = source->below(root, "../bare");
    EXPECT_EQ(find_library_root(*source, source->below(bare, "parts/a.dat")),
              source->absolute(bare));
    EXPECT_EQ(find_library_root(*source, source->below(root, "..")), "");
  }
}

TEST(Library, ReadsTheColoursOnceAndSaysWhereOneIsMalformed) {
  const Sources sources;
  for (const auto& [source, root] : sources.each("ldraw")) {
    const Library library(*source, root);
    std::string problem;
    const LibraryColours* colours = library.colours(problem);
    ASSERT_NE(colours, nullptr) << problem;
    EXPECT_TRUE(colours->codes.has(16));
    EXPECT_FALSE(colours->codes.has(24));
    ASSERT_EQ(colours->colours.size(), 2U);
    EXPECT_EQ(colours->colours[0].value, "#1B2A34");
    EXPECT_EQ(colours->colours[1].edge, "#333333");
  }
  LibraryColours colours;
  std::string problem;
  EXPECT_FALSE(parse_ldconfig("0 x\n0 !COLOUR Red CODE 4\n0 !COLOUR Red CODE x4\n", "L.ldr",
                              colours, problem));
  EXPECT_EQ(problem, "L.ldr:3: a !COLOUR line without a CODE number");
}

TEST(Library, LooksSubFilesUpAsLdrawDoes) {
  const Sources sources;
  for (const auto& each : sources.each("ldraw")) {
    // Named apart: a lambda may not capture a structured binding in C++20
    // as clang 14 reads it.
    const auto& source = each.first;
    const std::string& root = each.second;
    const Library library(*source, root);
    const auto found = [&](std::string_view name, const std::string& from,
                           const std::vector<std::string>& sections = {}) {
      const SubFile sub_file = library.resolve(name, source->below(root, from), sections);
      if (sub_file.kind != SubFile::Kind::kFile)
        return std::string(sub_file.kind == SubFile::Kind::kSection ? "section" : "missing");
      std::string text;
      std::string problem;
      EXPECT_TRUE(source->read(sub_file.path, text, problem)) << problem;
      return text;
    };
    // parts/s/ by a name in another case with a backslash, then p/.
    EXPECT_EQ(found("S\\3001S01.DAT", "parts/3001.dat"), "1 16 0 0 0 1 0 0 0 1 0 0 0 1 box5.dat\n");
    EXPECT_EQ(found("box5.dat", "parts/s/3001s01.dat"), "4 16 0 0 0 1 0 0 1 1 0 0 1 0\n");
    // p/48/ before p/8/, each by its folder's name.
    EXPECT_EQ(found("48/1-4cyli.dat", "parts/3001.dat"), "0 a hi-res primitive\n");
    EXPECT_EQ(found("8\\1-4CYLI.DAT", "parts/3001.dat"), "0 a lo-res primitive\n");
    // The model's own sections first, then its folder.
    EXPECT_EQ(found("Car.ldr", "models/car.mpd", {"car.ldr"}), "section");
    EXPECT_EQ(found("Wheel.ldr", "models/car.mpd", {"car.ldr"}), "0 a file beside the model\n");
    EXPECT_EQ(found("wheel.ldr", "parts/3001.dat"), "missing");
    EXPECT_EQ(found("3002.dat", "parts/3001.dat"), "missing");
  }
}

// Records what following sub-files visits, and what it does not find.
class Following final : public SubFileVisitor {
 public:
  bool first(const std::string& key) override { return seen.insert(key).second; }
  FileReferences visit(const std::string& key, std::string_view text) override {
    visited.push_back(key);
    FileReferences named;
    for (std::size_t at = 0; (at = text.find(".dat", at)) != std::string_view::npos; at += 4) {
      named.names.emplace_back(text.substr(at - 1, 5));
    }
    return named;
  }
  void missing(const std::string& key) override { lost.push_back(key); }

  std::set<std::string> seen;
  std::vector<std::string> visited;
  std::vector<std::string> lost;
};

TEST(Library, FollowsSubFilesOnceThroughALoop) {
  const Sources sources;
  for (const auto& [source, bare] : sources.each("bare")) {
    const Library library(*source, bare);
    Following following;
    // a names b, which names a again and c, which is not there.
    follow_sub_files(library, source->below(bare, "parts/a.dat"), {{"B.DAT"}, {}}, following);
    EXPECT_EQ(following.visited, (std::vector<std::string>{"b.dat", "a.dat"}));
    EXPECT_EQ(following.lost, std::vector<std::string>{"c.dat"});
  }
}

}  // namespace
}  // namespace skewquad
