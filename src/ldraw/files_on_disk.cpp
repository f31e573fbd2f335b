// A library's texts as files on disk, through the platform layer.
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "ldraw/library.h"
#include "platform/files.h"

namespace skewquad {
namespace {

namespace fs = std::filesystem;

// The path with its last `count` names in lower case.
fs::path lower_last_names(const fs::path& path, int count) {
  std::vector<fs::path> names(path.begin(), path.end());
  fs::path lowered;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const bool lower = i + count >= names.size();
    lowered /= lower ? platform::path_of(sub_file_key(platform::name_of(names[i]))) : names[i];
  }
  return lowered;
}

class FilesOnDisk final : public LibrarySource {
 public:
  std::string absolute(const std::string& path) const override {
    std::error_code error;
    const fs::path absolute = fs::absolute(platform::path_of(path), error);
    return error ? path : platform::name_of(absolute.lexically_normal());
  }

  std::optional<std::string> parent_of(const std::string& path) const override {
    const fs::path given = platform::path_of(path);
    if (!given.has_relative_path() || !given.has_parent_path()) return std::nullopt;
    fs::path parent = given.parent_path();
    // "a/b/" names the folder b: its parent is a.
    if (!given.has_filename()) parent = parent.parent_path();
    return platform::name_of(parent);
  }

  std::string below(const std::string& folder, std::string_view name) const override {
    std::string joined = folder;
    if (!joined.empty() && !platform::is_separator(joined.back())) joined += '/';
    for (const char c : name) joined += c == '\\' ? '/' : c;
    return platform::name_of(platform::path_of(joined).make_preferred());
  }

  bool is_folder(const std::string& path) const override {
    std::error_code error;
    return fs::is_directory(platform::path_of(path), error);
  }

  std::optional<std::string> find_file(const std::string& path) const override {
    std::error_code error;
    const fs::path given = platform::path_of(path);
    if (fs::is_regular_file(given, error)) return path;
    // The library's own files are in lower case, on every system but some:
    // the file's name, then the sub-file's folder ("S\" of "S\3001s01.dat").
    for (const int count : {1, 2}) {
      const fs::path lowered = lower_last_names(given, count);
      if (fs::is_regular_file(lowered, error)) return platform::name_of(lowered);
    }
    return std::nullopt;
  }

  bool read(const std::string& path, std::string& text, std::string& problem) const override {
    bool not_regular = false;
    std::FILE* file = platform::open_regular_file(path.c_str(), not_regular);
    if (file == nullptr) {
      problem = path + ": " +
                (not_regular ? "not a regular file" : std::generic_category().message(errno));
      return false;
    }
    text.clear();
    char block[65536];
    std::size_t read = 0;
    while ((read = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, read);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) problem = path + ": " + std::generic_category().message(error != 0 ? error : EIO);
    return !failed;
  }
};

}  // namespace

const LibrarySource& files_on_disk() {
  static const FilesOnDisk source;
  return source;
}

}  // namespace skewquad
