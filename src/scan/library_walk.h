// The files of a scan: the paths given, folders walked for LDraw files, in
// sorted path order, one at a time so that no list of the whole tree is held.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace skewquad {

/// What an entry of the walk is.
enum class EntryKind : std::uint8_t {
  kFile,       // a file to check, or (with a problem) one that could not be read
  kFolder,     // a folder that could not be listed
  kSkipped,    // a link found in a folder to something that is not a regular file
  kSameFile,   // a second name of a file checked under its first
  kUnwritten,  // a file checked whose mends could not be written
  kNotDiffed,  // a file checked whose mends could not be put in the diff
};

/// A file to check, or a path that could not be read or was skipped.
struct ScanEntry {
  std::string path;     // as given or walked ("parts/3001.dat"); also the name to open
  std::string problem;  // why it could not be read or was skipped; empty for a file to check
  EntryKind kind = EntryKind::kFile;
  std::size_t root = 0;  // which of the paths given it was found through
  std::string same_as;   // a second name's first name
};

/// The entries of the paths given, in sorted path order. A folder is walked
/// for LDraw files and folders below it, without following symbolic links
/// to folders; a link found there is followed only to a regular file, and
/// skipped otherwise. A file given by name is checked whatever its name.
/// A file reached twice is checked under one name, and is a kSameFile entry
/// under the others: through two of the paths given (under any spelling),
/// under the first in this order; by a link found in a folder, under its
/// own name when the walk reaches it (a patch cannot name a link), or else
/// under the first link to it in this order. Only the open folders' own
/// listings, the files links found lead to and, when more than one path is
/// given, the identities of the files given are held.
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
  // The first name of a file this entry may be a second name of, or empty.
  std::string first_name_of(const ScanEntry& entry, bool through_link);

  std::vector<std::unique_ptr<Root>> roots_;
  std::string last_path_;
  bool any_given_ = false;
  std::map<platform::FileIdentity, std::string> seen_;   // every file, with more than one path
  std::map<platform::FileIdentity, std::string> links_;  // files outside reached by links
};

}  // namespace skewquad
