// The files of a scan: the paths given, folders walked for LDraw files, in
// sorted path order, one at a time so that no list of the whole tree is held.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace skewquad {

/// What an entry of the walk is.
enum class EntryKind : std::uint8_t {
  kFile,       // a file to check, or (with a problem) one that could not be read
  kFolder,     // a folder that could not be listed
  kSkipped,    // a link found in a folder to something that is not a regular file
  kUnwritten,  // a file checked whose mends could not be written
};

/// A file to check, or a path that could not be read or was skipped.
struct ScanEntry {
  std::string path;     // as given or walked ("parts/3001.dat"); also the name to open
  std::string problem;  // why it could not be read or was skipped; empty for a file to check
  EntryKind kind = EntryKind::kFile;
  std::size_t root = 0;  // which of the paths given it was found through
};

/// True for the names a folder is searched for: *.dat, *.ldr and *.mpd, in
/// any case.
bool is_ldraw_file_name(const std::string& name);

/// The entries of the paths given, in sorted path order, each once (a file
/// reached through two of the paths given, under any spelling, once). A
/// folder is walked for LDraw files and folders below it, without following
/// symbolic links to folders; a link found there is followed only to a
/// regular file, and skipped otherwise. A file given by name is checked
/// whatever its name. Only the open folders' own listings (and, when more
/// than one path is given, the identities of the files given) are held.
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
  std::set<platform::FileIdentity> seen_;
};

}  // namespace skewquad
