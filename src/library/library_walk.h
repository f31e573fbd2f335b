// The files of a scan: the paths given, folders walked for LDraw files, in
// sorted path order, one at a time so that no list of the whole tree is held.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace skewquad {

/// A file to check, or a path that could not be read.
struct ScanEntry {
  std::string path;        // as given or walked ("parts/3001.dat"); also the name to open
  std::string problem;     // why it could not be read; empty for a file to check
  bool is_folder = false;  // the problem is a folder's
};

/// True for the names a folder is searched for: *.dat, *.ldr and *.mpd, in
/// any case.
bool is_ldraw_file_name(const std::string& name);

/// The entries of the paths given, in sorted path order, each once. A folder
/// is walked for LDraw files and folders below it, without following
/// symbolic links to folders; a file given by name is checked whatever its
/// name. Only the open folders' own listings are held at any time.
class LibraryWalk {
 public:
  explicit LibraryWalk(const std::vector<std::string>& paths);
  LibraryWalk(const LibraryWalk&) = delete;
  LibraryWalk& operator=(const LibraryWalk&) = delete;
  ~LibraryWalk();

  /// The next entry; false when there are no more.
  bool next(ScanEntry& entry);

 private:
  struct Root;
  std::vector<std::unique_ptr<Root>> roots_;
  std::string last_path_;
  bool any_given_ = false;
};

}  // namespace skewquad
