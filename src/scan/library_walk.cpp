// Walking the paths of a scan in sorted path order. Within a folder the
// names are sorted with a folder's name read as if it ended in '/', so that
// walking depth first gives the same order as sorting every path found; the
// paths given are merged the same way.
#include "scan/library_walk.h"

#include <algorithm>
#include <system_error>

#include "ldraw/library.h"
#include "scan/scan_texts.h"

namespace skewquad {
namespace {

namespace fs = std::filesystem;

enum class ChildKind : std::uint8_t { kFile, kFolder, kLink, kSkippedLink };

// A name in a folder, as it sorts.
struct Child {
  std::string key;  // the name, with '/' after a folder's
  ChildKind kind = ChildKind::kFile;
};

}  // namespace

// One path given: a file, or a folder walked depth first.
struct LibraryWalk::Root {
  struct Folder {
    std::string path;  // as it is reported, without a '/' at the end
    std::vector<Child> children;
    std::size_t next = 0;
  };
  std::vector<Folder> open_folders;
  char separator = '/';         // as the user typed it
  bool pending_single = false;  // a file (or a path that is no folder) not yet given
  ScanEntry single;
  ScanEntry head;  // the entry this root offers next
  bool has_head = false;
  bool head_through_link = false;  // the head is a link found in a folder

  std::size_t index = 0;     // among the paths given
  std::string given_folder;  // a folder given, as reported, without a separator at the end
  fs::path real_folder;      // and with every link in it followed

  Root(const std::string& given, std::size_t place) : index(place) {
    std::error_code error;
    const fs::file_status status = fs::status(platform::path_of(given), error);
    if (!error && fs::is_directory(status)) {
      separator = platform::separator_for(given);
      std::string path = given;
      while (path.size() > 1 && platform::is_separator(path.back())) path.pop_back();
      given_folder = path;
      real_folder = fs::canonical(platform::path_of(path), error);
      open(path);
    } else {
      single.path = given;
      pending_single = true;
    }
    advance();
  }

  // Lists a folder's LDraw files and folders, sorted, and goes into it; a
  // folder that cannot be listed becomes an entry of its own.
  void open(const std::string& path) {
    Folder folder{path, {}, 0};
    std::error_code error;
    fs::directory_iterator listing(platform::path_of(path), error);
    for (; !error && listing != fs::directory_iterator(); listing.increment(error)) {
      const fs::directory_entry& entry = *listing;
      std::error_code type_error;
      // A link to a folder is not followed; a link to a file is checked.
      const bool is_link = entry.is_symlink(type_error);
      const bool is_folder = !is_link && entry.is_directory(type_error);
      std::string name = platform::name_of(entry.path().filename());
      if (is_folder) {
        folder.children.push_back({name + '/', ChildKind::kFolder});
      } else if (!is_ldraw_file_name(name)) {
        continue;
      } else if (!is_link) {
        // A FIFO or device named as a part is not one: left out.
        if (entry.is_regular_file(type_error)) folder.children.push_back({name, ChildKind::kFile});
      } else {
        // What the link leads to decides, so that nothing but a regular
        // file is ever opened.
        const fs::file_status target = fs::status(entry.path(), type_error);
        folder.children.push_back({name, !type_error && fs::is_regular_file(target)
                                             ? ChildKind::kLink
                                             : ChildKind::kSkippedLink});
      }
    }
    if (error) {
      single = {path, error.message(), EntryKind::kFolder, 0, {}};
      pending_single = true;
      return;
    }
    std::sort(folder.children.begin(), folder.children.end(),
              [](const Child& a, const Child& b) { return a.key < b.key; });
    open_folders.push_back(std::move(folder));
  }

  // The name the walk of this root reaches the file `real` by (a path
  // with every link followed) when it reaches it at all; empty otherwise.
  // The walk follows no link to a folder, so below the root it reaches a
  // file only by its real folders.
  std::string walked_name_of(const fs::path& real) const {
    if (real_folder.empty() || !is_ldraw_file_name(platform::name_of(real.filename()))) return {};
    const fs::path below = real.lexically_relative(real_folder);
    if (below.empty() || *below.begin() == "..") return {};
    std::string name = given_folder;
    for (const fs::path& part : below) {
      if (!platform::is_separator(name.back())) name += separator;
      name += platform::name_of(part);
    }
    return name;
  }

  // Finds the entry this root offers next.
  void advance() {
    has_head = false;
    head_through_link = false;
    for (;;) {
      if (pending_single) {
        pending_single = false;
        head = std::move(single);
        has_head = true;
        return;
      }
      if (open_folders.empty()) return;
      Folder& folder = open_folders.back();
      if (folder.next == folder.children.size()) {
        open_folders.pop_back();
        continue;
      }
      const Child& child = folder.children[folder.next++];
      std::string path = folder.path;
      if (!platform::is_separator(path.back())) path += separator;
      path += child.key;
      if (child.kind == ChildKind::kFolder) {
        path.pop_back();
        open(path);
        continue;
      }
      head = {std::move(path), {}, EntryKind::kFile, 0, {}};
      if (child.kind == ChildKind::kSkippedLink) {
        head.problem = "not a regular file";
        head.kind = EntryKind::kSkipped;
      }
      head_through_link = child.kind == ChildKind::kLink;
      has_head = true;
      return;
    }
  }
};

LibraryWalk::LibraryWalk(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    roots_.push_back(std::make_unique<Root>(path, roots_.size()));
  }
}

LibraryWalk::~LibraryWalk() = default;

std::string LibraryWalk::first_name_of(const ScanEntry& entry, bool through_link) {
  if (roots_.size() > 1) {
    // Every file's identity, known for each: the paths given may overlap in
    // any way.
    const std::optional<platform::FileIdentity> identity = platform::identity_of(entry.path);
    if (!identity) return {};
    const auto [first, added] = seen_.try_emplace(*identity, entry.path);
    return added ? std::string() : first->second;
  }
  // One path given: only a link found in a folder can lead to a file
  // reached another way. A file the walk reaches under its own name is
  // that file; its links are its second names.
  if (!through_link) return {};
  std::error_code error;
  const fs::path real = fs::canonical(platform::path_of(entry.path), error);
  std::string own_name = error ? std::string() : roots_.front()->walked_name_of(real);
  if (!own_name.empty()) return own_name;
  // One outside the walk, reached by links alone, is that file under the
  // first of them.
  const std::optional<platform::FileIdentity> identity = platform::identity_of(entry.path);
  if (!identity) return {};
  const auto [first, added] = links_.try_emplace(*identity, entry.path);
  return added ? std::string() : first->second;
}

bool LibraryWalk::next(ScanEntry& entry) {
  for (;;) {
    Root* first = nullptr;
    for (const auto& root : roots_) {
      if (root->has_head && (first == nullptr || root->head.path < first->head.path)) {
        first = root.get();
      }
    }
    if (first == nullptr) return false;
    entry = std::move(first->head);
    entry.root = first->index;
    const bool through_link = first->head_through_link;
    first->advance();
    // A path given twice, in the same spelling, is one path.
    if (any_given_ && entry.path == last_path_) continue;
    any_given_ = true;
    last_path_ = entry.path;
    if (entry.kind == EntryKind::kFile && entry.problem.empty()) {
      std::string first_name = first_name_of(entry, through_link);
      if (!first_name.empty()) {
        entry.kind = EntryKind::kSameFile;
        entry.problem = text::kSameFileAs + first_name;
        entry.same_as = std::move(first_name);
      }
    }
    return true;
  }
}

}  // namespace skewquad
