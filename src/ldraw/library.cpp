// The library: its root, its colours, and the lookup of sub-files; and the
// texts held in memory.
#include "ldraw/library.h"

#include <algorithm>
#include <array>

#include "text/line_words.h"
#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The folders below a library's root that hold its parts and primitives,
// in the order LDraw looks in them.
constexpr std::array<std::string_view, 5> kLibraryFolders = {"parts", "parts/s", "p", "p/48",
                                                             "p/8"};

}  // namespace

std::string sub_file_key(std::string_view name) {
  std::string key;
  key.reserve(name.size());
  for (const char c : name) key += c == '\\' ? '/' : lower(c);
  return key;
}

bool is_ldraw_file_name(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string extension = sub_file_key(name.substr(dot));
  return extension == ".dat" || extension == ".ldr" || extension == ".mpd";
}

bool parse_ldconfig(std::string_view text, const std::string& path, LibraryColours& colours,
                    std::string& problem) {
  long long line_number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++line_number;
    // 0 !COLOUR name CODE n VALUE #RRGGBB EDGE #RRGGBB ...
    const LineWords words = split_words(line, LineWords::kMostWords);
    if (words.count < 2 || words.words[0] != "0" || words.words[1] != "!COLOUR") continue;
    LibraryColour colour;
    bool has_code = false;
    for (int i = 2; i + 1 < words.count; ++i) {
      const std::string_view key = words.words[i];
      const std::string_view value = words.words[i + 1];
      if (key == "CODE" && !has_code) {
        has_code = scan_int(value, colour.code) == value.data() + value.size();
        if (!has_code) break;
      } else if (key == "VALUE") {
        colour.value = value;
      } else if (key == "EDGE") {
        colour.edge = value;
      }
    }
    if (!has_code) {
      problem = path + ":" + std::to_string(line_number) + ": a !COLOUR line without a CODE number";
      return false;
    }
    colours.codes.add(colour.code);
    colours.colours.push_back(std::move(colour));
  }
  return true;
}

Library::Library(const LibrarySource& source, std::string root, std::string ldconfig)
    : source_(source), root_(std::move(root)), ldconfig_(std::move(ldconfig)) {}

const LibraryColours* Library::colours(std::string& problem) const {
  std::call_once(colours_read_, [this] {
    std::optional<std::string> path;
    if (!ldconfig_.empty()) {
      path = ldconfig_;
    } else if (!root_.empty()) {
      path = source_.find_file(source_.below(root_, kLdconfigName));
    }
    if (!path) return;
    auto colours = std::make_unique<LibraryColours>();
    colours->path = *path;
    std::string text;
    if (source_.read(*path, text, colours_problem_) &&
        parse_ldconfig(text, *path, *colours, colours_problem_)) {
      colours_ = std::move(colours);
    }
  });
  problem = colours_problem_;
  return colours_.get();
}

SubFile Library::resolve(std::string_view name, const std::string& from,
                         const std::vector<std::string>& sections) const {
  const std::string key = sub_file_key(name);
  if (std::find(sections.begin(), sections.end(), key) != sections.end()) {
    return {SubFile::Kind::kSection, {}};
  }
  std::vector<std::string> folders;
  if (const std::optional<std::string> folder = source_.parent_of(from)) {
    folders.push_back(*folder);
  } else {
    folders.emplace_back();
  }
  if (!root_.empty()) {
    for (const std::string_view below : kLibraryFolders) {
      folders.push_back(source_.below(root_, below));
    }
  }
  for (const std::string& folder : folders) {
    if (std::optional<std::string> found = source_.find_file(source_.below(folder, name))) {
      return {SubFile::Kind::kFile, std::move(*found)};
    }
  }
  return {};
}

void follow_sub_files(const Library& library, const std::string& from, FileReferences named,
                      SubFileVisitor& visitor) {
  using Sections = std::shared_ptr<const std::vector<std::string>>;
  struct Wanted {
    std::string name;
    std::string from;
    Sections sections;  // of the file that names it
  };
  std::vector<Wanted> wanted;
  const auto want_all = [&wanted](FileReferences& references, const std::string& file) {
    const auto sections = std::make_shared<const std::vector<std::string>>(references.sections);
    for (std::string& name : references.names) wanted.push_back({std::move(name), file, sections});
  };
  want_all(named, from);
  std::string text;
  std::string problem;
  while (!wanted.empty()) {
    const Wanted next = std::move(wanted.back());
    wanted.pop_back();
    const SubFile found = library.resolve(next.name, next.from, *next.sections);
    const std::string key = sub_file_key(next.name);
    if (found.kind == SubFile::Kind::kSection || !visitor.first(key)) continue;
    if (found.kind == SubFile::Kind::kMissing ||
        !library.source().read(found.path, text, problem)) {
      visitor.missing(key);
      continue;
    }
    FileReferences more = visitor.visit(key, text);
    want_all(more, found.path);
  }
}

std::string find_library_root(const LibrarySource& source, const std::string& path) {
  std::optional<std::string> folder = source.absolute(path);
  if (!source.is_folder(*folder)) folder = source.parent_of(*folder);
  std::string with_parts;
  for (; folder; folder = source.parent_of(*folder)) {
    if (source.find_file(source.below(*folder, kLdconfigName))) return *folder;
    if (with_parts.empty() && source.is_folder(source.below(*folder, "parts")) &&
        source.is_folder(source.below(*folder, "p"))) {
      with_parts = *folder;
    }
  }
  return with_parts;
}

// Texts in memory: each file under its key, every folder above it implied.

void TextsInMemory::add(const std::string& path, std::string text) {
  files_[sub_file_key(absolute(path))] = {absolute(path), std::move(text)};
}

std::string TextsInMemory::absolute(const std::string& path) const {
  std::string absolute = path;
  std::replace(absolute.begin(), absolute.end(), '\\', '/');
  while (absolute.starts_with("./")) absolute.erase(0, 2);
  if (!absolute.starts_with('/')) absolute.insert(0, "/");
  // "a/./b" and "a/x/../b" are "a/b".
  std::vector<std::string> names;
  std::size_t at = 1;
  while (at <= absolute.size()) {
    const std::size_t end = std::min(absolute.find('/', at), absolute.size());
    const std::string name = absolute.substr(at, end - at);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    at = end + 1;
  }
  std::string joined;
  for (const std::string& name : names) joined += "/" + name;
  return joined.empty() ? "/" : joined;
}

std::optional<std::string> TextsInMemory::parent_of(const std::string& path) const {
  const std::string full = absolute(path);
  if (full == "/") return std::nullopt;
  const std::size_t slash = full.rfind('/');
  return slash == 0 ? std::string("/") : full.substr(0, slash);
}

std::string TextsInMemory::below(const std::string& folder, std::string_view name) const {
  return absolute(folder + "/" + std::string(name));
}

bool TextsInMemory::is_folder(const std::string& path) const {
  std::string key = sub_file_key(absolute(path));
  if (key == "/") return true;
  key += '/';
  const auto next = files_.lower_bound(key);
  return next != files_.end() && next->first.starts_with(key);
}

std::optional<std::string> TextsInMemory::find_file(const std::string& path) const {
  const auto found = files_.find(sub_file_key(absolute(path)));
  if (found == files_.end()) return std::nullopt;
  return found->second.first;
}

bool TextsInMemory::read(const std::string& path, std::string& text, std::string& problem) const {
  const auto found = files_.find(sub_file_key(absolute(path)));
  if (found == files_.end()) {
    problem = path + ": No such file or directory";
    return false;
  }
  text = found->second.second;
  return true;
}

}  // namespace skewquad
