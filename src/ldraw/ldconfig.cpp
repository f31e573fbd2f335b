// Reading LDConfig.ldr, and finding it above a path.
#include "ldraw/ldconfig.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "text/line_reader.h"
#include "text/line_words.h"
#include "text/scanf_numbers.h"

namespace skewquad {

bool read_ldconfig(const std::string& path, ColourTable& colours, std::string& problem) {
  bool not_regular = false;
  std::FILE* file = platform::open_regular_file(path.c_str(), not_regular);
  if (file == nullptr) {
    problem =
        path + ": " +
        (not_regular ? std::string("not a regular file") : std::generic_category().message(errno));
    return false;
  }
  LineReader reader(file);
  std::string_view piece;
  long long line = 0;
  bool at_line_start = true;
  bool good = true;
  while (good && reader.next(piece)) {
    const bool starts_line = at_line_start;
    at_line_start = piece.back() == '\n';
    if (!starts_line) continue;
    ++line;
    // 0 !COLOUR name CODE n VALUE #RRGGBB EDGE #RRGGBB ...
    const LineWords words = split_words(piece, LineWords::kMostWords);
    if (words.count < 2 || words.words[0] != "0" || words.words[1] != "!COLOUR") continue;
    std::int32_t code = 0;
    good = false;
    for (int i = 2; i + 1 < words.count; ++i) {
      if (words.words[i] != "CODE") continue;
      const std::string_view number = words.words[i + 1];
      good = scan_int(number, code) == number.data() + number.size();
      break;
    }
    if (good) {
      colours.add(code);
    } else {
      problem = path + ":" + std::to_string(line) + ": a !COLOUR line without a CODE number";
    }
  }
  if (good && reader.failed()) {
    problem = path + ": " + std::generic_category().message(errno != 0 ? errno : EIO);
    good = false;
  }
  std::fclose(file);
  return good;
}

std::optional<std::string> find_ldconfig(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path folder = fs::absolute(platform::path_of(path), error);
  if (error) return std::nullopt;
  if (!fs::is_directory(folder, error)) folder = folder.parent_path();
  for (;;) {
    const fs::path candidate = folder / kLdconfigName;
    if (fs::is_regular_file(candidate, error)) return platform::name_of(candidate);
    if (!folder.has_relative_path()) return std::nullopt;
    folder = folder.parent_path();
  }
}

}  // namespace skewquad
