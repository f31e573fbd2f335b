// The LDraw library a file belongs to: its root, the colours its
// LDConfig.ldr defines, and where a sub-file that a type-1 line names is
// found, as LDraw looks it up. The texts come from a source: files on
// disk, or texts held in memory (the editor's open documents, tests, a
// browser).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/line_checks.h"

namespace skewquad {

/// The name of the file that defines a library's colours, in its root.
inline constexpr char kLdconfigName[] = "LDConfig.ldr";

/// Where a library's texts come from. Paths are the tool's own: as given,
/// joined with the separator of the system (on Windows either '\\' or '/').
class LibrarySource {
 public:
  LibrarySource() = default;
  LibrarySource(const LibrarySource&) = delete;
  LibrarySource& operator=(const LibrarySource&) = delete;
  virtual ~LibrarySource() = default;

  /// `path` made absolute, so that its folders can be climbed to the top.
  virtual std::string absolute(const std::string& path) const = 0;
  /// The folder that holds `path`; nothing at the top.
  virtual std::optional<std::string> parent_of(const std::string& path) const = 0;
  /// `name` (names joined by '/' or '\\') below the folder `folder`.
  virtual std::string below(const std::string& folder, std::string_view name) const = 0;
  virtual bool is_folder(const std::string& path) const = 0;
  /// The file `path`, found as written or with its last names in lower case
  /// (where the library's own files are), as the source names it; nothing
  /// when there is no such regular file.
  virtual std::optional<std::string> find_file(const std::string& path) const = 0;
  /// Reads the whole file `path` into `text`; false, with `problem` saying
  /// why, when it cannot be read.
  virtual bool read(const std::string& path, std::string& text, std::string& problem) const = 0;
};

/// The files on disk, through the platform layer.
const LibrarySource& files_on_disk();

/// Texts held in memory, by path; names are compared in any case and with
/// either separator, and '/' is the separator they are joined with.
class TextsInMemory final : public LibrarySource {
 public:
  /// Holds `text` as the file `path` (names joined by '/', relative to a
  /// top of its own).
  void add(const std::string& path, std::string text);

  std::string absolute(const std::string& path) const override;
  std::optional<std::string> parent_of(const std::string& path) const override;
  std::string below(const std::string& folder, std::string_view name) const override;
  bool is_folder(const std::string& path) const override;
  std::optional<std::string> find_file(const std::string& path) const override;
  bool read(const std::string& path, std::string& text, std::string& problem) const override;

 private:
  std::map<std::string, std::pair<std::string, std::string>> files_;  // key: (path, text)
};

/// A colour LDConfig.ldr defines: its code, and the value and edge it gives.
struct LibraryColour {
  std::int32_t code = 0;
  std::string value;  // "#RRGGBB", or empty
  std::string edge;
};

/// The colours of a library.
struct LibraryColours {
  std::string path;  // the LDConfig.ldr they were read from
  ColourTable codes;
  std::vector<LibraryColour> colours;  // in the order the file defines them
};

/// Reads the `0 !COLOUR` lines of `text` (the file `path`) into `colours`.
/// False, with `problem` saying where and why ("LDConfig.ldr:12: a !COLOUR
/// line without a CODE number"), when a colour line is malformed.
bool parse_ldconfig(std::string_view text, const std::string& path, LibraryColours& colours,
                    std::string& problem);

/// A sub-file's name as LDraw looks it up: lower case, '/' between names.
std::string sub_file_key(std::string_view name);

/// True for the names a library's files have: *.dat, *.ldr and *.mpd, in
/// any case.
bool is_ldraw_file_name(std::string_view name);

/// What a name in a type-1 line leads to.
struct SubFile {
  enum class Kind : std::uint8_t { kMissing, kSection, kFile };
  Kind kind = Kind::kMissing;
  std::string path;  // a file's, as the source names it
};

/// One LDraw library: its root (the folder that holds LDConfig.ldr, or
/// parts/ and p/), its colours, and the lookup of sub-files.
class Library {
 public:
  /// The library whose root is `root` (empty: files outside any library),
  /// its colours read from `ldconfig` (empty: the root's LDConfig.ldr).
  Library(const LibrarySource& source, std::string root, std::string ldconfig = {});

  const LibrarySource& source() const { return source_; }
  const std::string& root() const { return root_; }

  /// The colours, read once; nullptr when the library has no LDConfig.ldr,
  /// or when it cannot be read or is malformed (`problem` then says why).
  const LibraryColours* colours(std::string& problem) const;

  /// Where the name `name` of a type-1 line of the file `from` leads, as
  /// LDraw looks: a section of the file itself (`sections`, keys of its
  /// `0 FILE` names), the folder of `from`, then the root's parts/,
  /// parts/s/, p/, p/48/ and p/8/; names in any case, with '\\' or '/'.
  SubFile resolve(std::string_view name, const std::string& from,
                  const std::vector<std::string>& sections = {}) const;

 private:
  const LibrarySource& source_;
  const std::string root_;
  const std::string ldconfig_;
  mutable std::once_flag colours_read_;
  mutable std::unique_ptr<LibraryColours> colours_;
  mutable std::string colours_problem_;
};

/// The sub-files a text names in its type-1 lines, as written, and its own
/// sections (sub_file_keys of its `0 FILE` names).
struct FileReferences {
  std::vector<std::string> names;
  std::vector<std::string> sections;
};

/// What following the sub-files of a file tells.
class SubFileVisitor {
 public:
  /// True the first time the sub-file `key` is met (across every file).
  virtual bool first(const std::string& key) = 0;
  /// Takes the text of the sub-file `key`; returns what it names in turn.
  virtual FileReferences visit(const std::string& key, std::string_view text) = 0;
  /// Takes a sub-file not found (or not readable).
  virtual void missing(const std::string& key) = 0;

 protected:
  SubFileVisitor() = default;
  SubFileVisitor(const SubFileVisitor&) = default;
  SubFileVisitor& operator=(const SubFileVisitor&) = default;
  ~SubFileVisitor() = default;
};

/// Follows the sub-files that the file `from`, naming `named`, reaches, and
/// those they reach in turn, each visited once however many times and from
/// wherever it is named (a loop of references ends).
void follow_sub_files(const Library& library, const std::string& from, FileReferences named,
                      SubFileVisitor& visitor);

/// The root of the library that holds `path` (a file, or a folder): the
/// nearest folder at or above it that holds LDConfig.ldr, or else the
/// nearest that holds parts/ and p/; empty when there is none.
std::string find_library_root(const LibrarySource& source, const std::string& path);

}  // namespace skewquad
