// Temporary files for tests, and the reading rule written out byte by byte.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace skewquad::testing {

/// A new empty folder in the build's temporary folder, removed with
/// everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::filesystem::path& path() const { return path_; }
  /// Writes `content` to the file `name` in the folder and returns its path.
  std::filesystem::path write(const std::string& name, std::string_view content) const;
  /// The names in the folder, sorted.
  std::vector<std::string> names() const;

 private:
  std::filesystem::path path_;
};

/// The whole content of the file at `path`.
std::string contents_of(const std::filesystem::path& path);

/// A new file for reading and writing in the build's temporary folder,
/// removed when it is closed (or, where open files cannot be removed, with
/// the folder when the tests next run).
std::FILE* temporary_file();

/// A stream open for reading whose every read fails, as a disk error makes
/// one fail.
std::FILE* unreadable_stream(const ScratchFolder& folder);

/// A temporary file holding `content`, positioned at its start.
std::FILE* file_holding(std::string_view content);

// Everything in `file` from its start.
std::string contents_of(std::FILE* file);

// The pieces of a file by the reading rule, written out byte by byte: a
// piece ends after a line feed or at 1023 characters, CR LF counting as one.
std::vector<std::string_view> pieces_by_rule(std::string_view content);

}  // namespace skewquad::testing
