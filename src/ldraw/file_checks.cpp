// The checks of a part file as a whole. A line is cut into words at the
// five white-space characters (space, tab, CR, VT, FF); its kind is empty,
// meta (first word 0) or other. The header runs from the top while each
// line is empty, the description, a header meta or a well-formed BFC
// CERTIFY/NOCERTIFY line; the values a file gives come from the whole
// file, the first qualifying line deciding.
#include "ldraw/file_checks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "check/reversed_winding.h"
#include "ldraw/finding_texts.h"
#include "platform/files.h"
#include "text/formatted.h"
#include "text/high_bytes.h"
#include "text/line_words.h"

namespace skewquad {
namespace {

bool is_white(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equal_in_any_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return lower(x) == lower(y); });
}

std::string lower_case(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = lower(c);
  return lowered;
}

bool is_alphanumeric_lower(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// A line's words: the first kKept of them, and how many there are.
struct Words {
  static constexpr std::size_t kKept = 20;  // a !TEXMAP line's 18, with room
  std::string_view kept[kKept];
  std::size_t count = 0;
  std::string_view line;

  std::string_view operator[](std::size_t i) const {
    return i < count && i < kKept ? kept[i] : std::string_view();
  }
  // The text from the start of word `i` to the line's end, trailing white
  // space removed.
  std::string_view from(std::size_t i) const {
    if (i >= count || i >= kKept) return {};
    std::string_view rest = line.substr(static_cast<std::size_t>(kept[i].data() - line.data()));
    while (!rest.empty() && (is_white(rest.back()) || rest.back() == '\n')) rest.remove_suffix(1);
    return rest;
  }
  // The words from `i` on, joined with one space each.
  std::string joined_from(std::size_t i) const {
    std::string text;
    std::string_view rest = from(i);
    for (std::size_t at = 0; at < rest.size();) {
      std::size_t end = at;
      while (end < rest.size() && !is_white(rest[end]) && rest[end] != '\n') ++end;
      if (!text.empty()) text += ' ';
      text.append(rest.substr(at, end - at));
      at = end;
      while (at < rest.size() && (is_white(rest[at]) || rest[at] == '\n')) ++at;
    }
    return text;
  }
};

Words words_of(std::string_view line) {
  Words words;
  words.line = line;
  std::size_t at = 0;
  for (;;) {
    while (at < line.size() && (is_white(line[at]) || line[at] == '\n')) ++at;
    if (at == line.size()) break;
    const std::size_t start = at;
    while (at < line.size() && !is_white(line[at]) && line[at] != '\n') ++at;
    if (words.count < Words::kKept) words.kept[words.count] = line.substr(start, at - start);
    ++words.count;
  }
  return words;
}

// The meta keywords, and those of them a header holds.
constexpr std::array<std::string_view, 10> kHeaderMetas = {
    "Name:",     "Author:",  "!LDRAW_ORG", "!LICENSE", "!CATEGORY",
    "!KEYWORDS", "!HISTORY", "!HELP",      "!CMDLINE", "!PREVIEW"};
constexpr std::array<std::string_view, 6> kOtherMetas = {
    "BFC", "!TEXMAP", "!:", "//", "!COLOUR", "!AVATAR"};

bool is_header_meta(std::string_view keyword) {
  return std::find(kHeaderMetas.begin(), kHeaderMetas.end(), keyword) != kHeaderMetas.end();
}

bool is_meta_keyword(std::string_view keyword) {
  return is_header_meta(keyword) ||
         std::find(kOtherMetas.begin(), kOtherMetas.end(), keyword) != kOtherMetas.end();
}

// The part types: each with its folder below the library root and the
// prefix of its Name.
struct PartType {
  std::string_view name;
  std::string_view folder;
  std::string_view prefix;
};
constexpr std::array<PartType, 12> kPartTypes = {{
    {"Part", "parts", ""},
    {"Shortcut", "parts", ""},
    {"Subpart", "parts/s", "s\\"},
    {"Primitive", "p", ""},
    {"8_Primitive", "p/8", "8\\"},
    {"48_Primitive", "p/48", "48\\"},
    {"Helper", "parts/helpers", "helpers\\"},
    {"Part_Texmap", "parts/textures", "textures\\"},
    {"Subpart_Texmap", "parts/textures/s", "textures\\s\\"},
    {"Primitive_Texmap", "p/textures", "textures\\"},
    {"8_Primitive_Texmap", "p/textures/8", "textures\\8\\"},
    {"48_Primitive_Texmap", "p/textures/48", "textures\\48\\"},
}};

constexpr std::array<std::string_view, 3> kApprovedLicences = {
    "Marked with CC0 1.0 : see CAreadme.txt",
    "Licensed under CC BY 2.0 and CC BY 4.0 : see CAreadme.txt",
    "Licensed under CC BY 4.0 : see CAreadme.txt"};

constexpr std::string_view kCategories[] = {
    "Animal", "Antenna", "Arch", "Arm", "Bar", "Baseplate", "Belville", "Boat", "Bracket", "Brick",
    "Car", "Clikits", "Cockpit", "Cone", "Constraction", "Constraction Accessory", "Container",
    "Conveyor", "Crane", "Cylinder", "Dish", "Door", "Duplo", "Electric", "Exhaust", "Fence",
    "Figure", "Figure Accessory", "Flag", "Flexible", "Freestyle", "Garage", "Glass", "Helper",
    "Hinge", "Homemaker", "Hose", "Ladder", "Magnet", "Minifig Head", "Minifig Upper",
    "Minifig Lower", "Minifig Leg", "Minifig Hips", "Minifig Arm", "Minifig Hand", "Minifig Torso",
    "Minifig Body", "Minifig Assembly", "Minifig Accessory", "Minifig Footwear", "Minifig Headwear",
    "Minifig Hipwear", "Minifig Neckwear", "Monorail", "Modulex", "Moved", "Mursten", "Obsolete",
    "Panel", "Plane", "Plant", "Plate", "Platform", "Propeller", "Quatro", "Rack", "Roadsign",
    "Rock", "Scala", "Screw", "Sheet Cardboard", "Sheet Fabric", "Sheet Plastic", "Slope", "Sphere",
    "Staircase", "Sticker", "Sticker Shortcut", "String", "Support", "Tail", "Tap", "Technic",
    "Tile", "Tipper", "Tractor", "Trailer", "Train", "Turntable", "Tyre", "Vehicle", "Wedge",
    "Wheel", "Winch", "Window", "Windscreen", "Wing", "Znap",
    // Retired, still accepted.
    "Minifig", "Pov-RAY", "Lever", "Grab", "Forklift"};

bool is_category(std::string_view text) {
  return std::find(std::begin(kCategories), std::end(kCategories), text) != std::end(kCategories);
}

bool is_digits(std::string_view text, std::size_t count) {
  return text.size() == count &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool is_user(std::string_view user) {
  return !user.empty() && std::all_of(user.begin(), user.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '-';
  });
}

// `0 Author: text`: no '[' at all, or ending in [user] with no other '['.
bool is_well_formed_author(std::string_view text) {
  const std::size_t open = text.find('[');
  if (open == std::string_view::npos) return true;
  return text.back() == ']' && text.find('[', open + 1) == std::string_view::npos &&
         is_user(text.substr(open + 1, text.size() - open - 2));
}

// `0 !HISTORY YYYY-MM-DD [user] comment` or `{real name}` for [user].
bool is_well_formed_history(std::string_view text) {
  if (text.size() < 11 || !is_digits(text.substr(0, 4), 4) || text[4] != '-' ||
      !is_digits(text.substr(5, 2), 2) || text[7] != '-' || !is_digits(text.substr(8, 2), 2) ||
      text[10] != ' ') {
    return false;
  }
  std::string_view rest = text.substr(11);
  std::size_t close = 0;
  if (rest.starts_with('[')) {
    close = rest.find(']');
    if (close == std::string_view::npos || !is_user(rest.substr(1, close - 1))) return false;
  } else if (rest.starts_with('{')) {
    close = rest.find('}');
    if (close == std::string_view::npos || close < 2) return false;
  } else {
    return false;
  }
  return rest.size() >= close + 3 && rest[close + 1] == ' ';
}

// `0 !LDRAW_ORG type [qualifier] [ORIGINAL|UPDATE] [YYYY-MM]`: the type's
// place in kPartTypes and the qualifier, or -1 when malformed.
int ldraw_org_type(const Words& words, std::string_view& qualifier) {
  std::size_t at = 2;
  std::string_view type = words[at++];
  for (const std::string_view unofficial : {"Unofficial_", "Unofficial"}) {
    if (type.starts_with(unofficial)) {
      type.remove_prefix(unofficial.size());
      break;
    }
  }
  const auto* const found = std::find_if(kPartTypes.begin(), kPartTypes.end(),
                                         [type](const PartType& t) { return t.name == type; });
  if (found == kPartTypes.end()) return -1;
  qualifier = {};
  if (words[at] == "Alias" || words[at] == "Flexible_Section" || words[at] == "Physical_Colour") {
    qualifier = words[at++];
  }
  if (words[at] == "ORIGINAL" || words[at] == "UPDATE") ++at;
  if (const std::string_view release = words[at];
      release.size() == 7 && is_digits(release.substr(0, 4), 4) && release[4] == '-' &&
      is_digits(release.substr(5), 2)) {
    ++at;
  }
  return at == words.count ? static_cast<int>(found - kPartTypes.begin()) : -1;
}

// `0 BFC ...`, well-formed: its words after BFC joined, or empty.
std::string well_formed_bfc(const Words& words) {
  const std::string options = words.joined_from(2);
  constexpr std::string_view kForms[] = {"CERTIFY", "CERTIFY CW", "CERTIFY CCW", "CLIP",
                                         "CLIP CW", "CLIP CCW",   "NOCERTIFY",   "CW",
                                         "CCW",     "NOCLIP",     "INVERTNEXT"};
  return std::find(std::begin(kForms), std::end(kForms), options) != std::end(kForms)
             ? options
             : std::string();
}

// A number of a !TEXMAP line: [-+]?[0-9]*\.?[0-9]+ whole.
bool is_texmap_number(std::string_view word) {
  if (word.starts_with('-') || word.starts_with('+')) word.remove_prefix(1);
  const std::size_t point = word.find('.');
  const std::string_view before =
      point == std::string_view::npos ? std::string_view() : word.substr(0, point);
  const std::string_view after = point == std::string_view::npos ? word : word.substr(point + 1);
  const auto digits = [](std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  return !after.empty() && digits(before) && digits(after);
}

bool is_png_word(std::string_view word) {
  return word.size() >= 5 && equal_in_any_case(word.substr(word.size() - 4), ".png");
}

bool is_well_formed_texmap(const Words& words) {
  const std::string_view mode = words[2];
  if (mode == "FALLBACK" || mode == "END") return words.count == 3;
  if (mode != "START" && mode != "NEXT") return false;
  const std::string_view method = words[3];
  const std::size_t numbers = method == "PLANAR"        ? 9
                              : method == "CYLINDRICAL" ? 10
                              : method == "SPHERICAL"   ? 11
                                                        : 0;
  if (numbers == 0) return false;
  std::size_t at = 4;
  for (std::size_t i = 0; i < numbers; ++i) {
    if (!is_texmap_number(words[at++])) return false;
  }
  if (!is_png_word(words[at++])) return false;
  if (at == words.count) return true;
  return words[at] == "GLOSSMAP" && is_png_word(words[at + 1]) && at + 2 == words.count;
}

// Whether the file a type-1 line names is the Name: equal in any case,
// '\\' and '/' the same.
bool names_same_file(std::string_view named, std::string_view name) {
  const auto key = [](char c) { return c == '\\' ? '/' : lower(c); };
  return named.size() == name.size() &&
         std::equal(named.begin(), named.end(), name.begin(),
                    [&key](char a, char b) { return key(a) == key(b); });
}

// The code points certification refuses in a Name or a description.
bool is_invalid_character(std::uint32_t c) {
  constexpr std::pair<std::uint32_t, std::uint32_t> kRanges[] = {
      {0x0000, 0x001F},   {0x007F, 0x009F},   {0x00AD, 0x00AD},   {0x0600, 0x0605},
      {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},
      {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x202A, 0x202E},
      {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},
      {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
      {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F}, {0x2028, 0x2029},
      {0xE000, 0xF8FF},   {0xF0000, 0x10FFFF}};
  return std::any_of(std::begin(kRanges), std::end(kRanges),
                     [c](const auto& range) { return c >= range.first && c <= range.second; });
}

// Whether `bytes`, read as UTF-8 (the file is) or as Latin-1, hold a
// character certification refuses.
bool has_invalid_character(std::string_view bytes, bool utf8) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead >= 0x20 && lead < 0x7F) {
      ++i;
      continue;
    }
    if (!utf8 || lead < 0x80) {
      if (is_invalid_character(lead)) return true;
      ++i;
      continue;
    }
    const std::size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    std::uint32_t point = lead & (size == 4 ? 0x07U : size == 3 ? 0x0FU : 0x1FU);
    for (std::size_t k = 1; k < size && i + k < bytes.size(); ++k) {
      point = (point << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3FU);
    }
    if (is_invalid_character(point)) return true;
    i += size;
  }
  return false;
}

// The text as UTF-8: as it is, or each byte a Latin-1 character.
std::string as_utf8(std::string_view bytes, bool utf8) {
  if (utf8) return std::string(bytes);
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

// Whether bytes told piece by piece are UTF-8, strictly: no overlong
// forms, no surrogates, nothing above U+10FFFF. The bounds each following
// byte must lie in after a lead byte are those of the Unicode Standard's
// table of well-formed byte sequences (section 3.9, table 3-7).
class Utf8Check {
 public:
  // Each piece as the line reader gives it, with the bytes it keeps
  // readable after it.
  void feed(std::string_view bytes) {
    if (!valid_) return;
    // Most pieces are ASCII throughout, and pass at once.
    if (due_ == 0 && !has_high_byte(bytes)) return;
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      if (due_ > 0) {
        if (byte < low_ || byte > high_) {
          valid_ = false;
          return;
        }
        --due_;
        low_ = 0x80;
        high_ = 0xBF;
        continue;
      }
      if (byte < 0x80) continue;
      low_ = 0x80;
      high_ = 0xBF;
      if (byte >= 0xC2 && byte <= 0xDF) {
        due_ = 1;
      } else if (byte >= 0xE0 && byte <= 0xEF) {
        due_ = 2;
        if (byte == 0xE0) low_ = 0xA0;
        if (byte == 0xED) high_ = 0x9F;
      } else if (byte >= 0xF0 && byte <= 0xF4) {
        due_ = 3;
        if (byte == 0xF0) low_ = 0x90;
        if (byte == 0xF4) high_ = 0x8F;
      } else {
        valid_ = false;
        return;
      }
    }
  }
  // At the end of the text.
  bool valid() const { return valid_ && due_ == 0; }

 private:
  bool valid_ = true;
  int due_ = 0;
  unsigned char low_ = 0x80;
  unsigned char high_ = 0xBF;
};

bool is_ascii(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

bool is_strict_utf8(std::string_view bytes) {
  // With the room after it the check reads.
  const std::string padded = std::string(bytes) + std::string(16, '\0');
  Utf8Check check;
  check.feed(std::string_view(padded.data(), bytes.size()));
  return check.valid();
}

// The stem of a Name's base name: lower case, without ".dat", without a
// final "-f" and one letter or digit.
std::string stem_of(std::string_view base) {
  std::string stem = lower_case(base);
  if (stem.ends_with(".dat")) stem.resize(stem.size() - 4);
  if (stem.size() >= 3 && stem[stem.size() - 3] == '-' && stem[stem.size() - 2] == 'f' &&
      is_alphanumeric_lower(stem.back())) {
    stem.resize(stem.size() - 3);
  }
  return stem;
}

// Whether the stem ends in `letter` and from `least` to `most` letters or
// digits: p[0-9a-z]{2,4}$, k[0-9a-z]{2}$.
bool ends_in_suffix(std::string_view stem, char letter, std::size_t least, std::size_t most) {
  for (std::size_t count = least; count <= most; ++count) {
    if (stem.size() < count + 1 || stem[stem.size() - count - 1] != letter) continue;
    if (std::all_of(stem.end() - static_cast<std::ptrdiff_t>(count), stem.end(),
                    is_alphanumeric_lower)) {
      return true;
    }
  }
  return false;
}

// Whether the description ends in "Pattern" (any case), or in "Pattern",
// white space, and a bracketed text.
bool ends_in_pattern(std::string_view text) {
  const auto is_pattern_at = [&text](std::size_t end) {
    return end >= 7 && equal_in_any_case(text.substr(end - 7, 7), "pattern");
  };
  if (is_pattern_at(text.size())) return true;
  if (!text.ends_with(')')) return false;
  // "Pattern" + white space + "(" + anything + ")": any "(" after white
  // space after "Pattern" will do.
  for (std::size_t open = text.find('('); open != std::string_view::npos;
       open = text.find('(', open + 1)) {
    std::size_t end = open;
    while (end > 0 && is_white(text[end - 1])) --end;
    if (end < open && is_pattern_at(end)) return true;
  }
  return false;
}

// The file's own name, and the components of its folder made absolute.
struct OwnPlace {
  std::string name;
  std::vector<std::string> folder;
};

// The names between the separators of `path`, empty ones left out.
std::vector<std::string> components_of(std::string_view path) {
  std::vector<std::string> components;
  std::string component;
  for (const char c : path) {
    if (platform::is_separator(c)) {
      if (!component.empty()) components.push_back(std::move(component));
      component.clear();
    } else {
      component += c;
    }
  }
  if (!component.empty()) components.push_back(std::move(component));
  return components;
}

OwnPlace own_place_of(std::string_view path) {
  std::size_t slash = path.size();
  while (slash > 0 && !platform::is_separator(path[slash - 1])) --slash;
  OwnPlace place;
  place.name = path.substr(slash);
  place.folder = components_of(path.substr(0, slash));
  // A folder of three plain names ends as its absolute form does, in as
  // many names as any type's folder has; any other is made absolute.
  const bool plain = std::none_of(place.folder.begin(), place.folder.end(),
                                  [](const std::string& c) { return c == "." || c == ".."; });
  if (plain && place.folder.size() >= 3) return place;
  // Files come folder by folder: the last folder made absolute is kept,
  // one for all workers. (Kept in thread_local storage, MinGW-w64 freed it
  // twice at a worker's end.)
  static std::mutex last_lock;
  static std::string last_folder;
  static std::vector<std::string> last_components;
  const std::string folder(path.substr(0, slash));
  const std::lock_guard<std::mutex> hold(last_lock);
  if (folder != last_folder || last_components.empty()) {
    std::error_code error;
    last_components = components_of(platform::name_of(
        std::filesystem::absolute(platform::path_of(folder.empty() ? "." : folder), error)
            .lexically_normal()));
    last_components.erase(std::remove(last_components.begin(), last_components.end(), "."),
                          last_components.end());
    last_folder = folder;
  }
  place.folder = last_components;
  return place;
}

// Whether `folder` ends in the components of `wanted` ("parts/s"), in any
// case.
bool folder_ends_in(const std::vector<std::string>& folder, std::string_view wanted) {
  std::vector<std::string_view> components;
  while (!wanted.empty()) {
    const std::size_t slash = wanted.find('/');
    components.push_back(wanted.substr(0, slash));
    wanted.remove_prefix(slash == std::string_view::npos ? wanted.size() : slash + 1);
  }
  if (folder.size() < components.size()) return false;
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (!equal_in_any_case(folder[folder.size() - components.size() + i], components[i])) {
      return false;
    }
  }
  return true;
}

// Each line of a text read piece by piece, as the file checks read it: a
// line longer than a piece gathered, up to its first kLongestFileCheckLine
// bytes.
void for_each_line(LineReader& reader,
                   const std::function<bool(long long number, std::string_view line)>& take) {
  std::string held;
  long long number = 0;
  bool at_line_start = true;
  std::string_view piece;
  while (reader.next(piece)) {
    const bool starts = at_line_start;
    at_line_start = piece.back() == '\n';
    if (starts) {
      ++number;
      if (at_line_start) {
        if (!take(number, piece)) return;
        continue;
      }
      held.assign(piece);
    } else {
      held.append(piece.substr(
          0, std::min(piece.size(),
                      kLongestFileCheckLine - std::min(held.size(), kLongestFileCheckLine))));
    }
    if (at_line_start && !take(number, held)) return;
  }
  if (!at_line_start) take(number, held);
}

// The replacement of one line: a subpart's description given its ~.
class OneLine final : public LineReplacements {
 public:
  bool for_each(const std::function<void(long long, std::string_view, std::string_view)>& take)
      const override {
    take(number, was, replacement);
    return true;
  }
  long long number = 0;
  std::string was;
  std::string replacement;
};

}  // namespace

bool is_part_file_name(std::string_view path) {
  return path.size() >= 4 && equal_in_any_case(path.substr(path.size() - 4), ".dat");
}

struct FileChecks::State {
  FileText file;
  bool mends = false;
  const FileFacts* known = nullptr;
  const LineReplacements* reversal = nullptr;

  // How the text is read: as UTF-8 when it is that throughout, which is
  // only found, by reading it again, when it matters.
  bool byte_order_mark_skipped = true;
  bool starts_with_byte_order_mark = false;

  // A line longer than a piece, gathered.
  bool holding = false;
  long long held_number = 0;
  std::string held;

  // The header.
  bool in_header = true;
  bool any_word = false;
  bool has_description = false;
  std::string description;             // its text, as written
  std::string description_line;        // the line, with its end, for the mend
  std::size_t description_offset = 0;  // where its text begins in it
  long long description_number = 0;
  bool description_whole = false;  // read from a line no longer than a piece
  bool header_bfc_seen = false;
  std::string header_bfc;  // its words after BFC
  bool reversing = false;
  bool reversible = true;
  long long whole_mend_lines = 0;  // lines the CW part made CCW replaces

  // What the whole file says.
  bool has_name = false;
  std::string name;
  long long name_number = 0;
  bool reference_before_name = false;  // a line that may name the file before its Name
  bool author_decided = false;
  bool has_author = false;
  int type = -1;
  std::string qualifier;
  bool has_licence = false;
  std::string licence;
  bool has_category_line = false;
  std::string category_line;
  bool colour_combination = false;
  bool set_keyword = false;

  FileLineVerdict verdict;
  std::string replacement;

  void fault(CheckId check, std::string_view text = {}) {
    verdict.found[verdict.faults++] = {check, text.data(), text.size()};
  }
  // Appends `text` with `from`, where it stands at `at`, written `to`.
  void replace_word(std::string_view text, std::string_view from, std::string_view to) {
    const auto at = static_cast<std::size_t>(from.data() - text.data());
    replacement.assign(text.substr(0, at));
    replacement.append(to);
    replacement.append(text.substr(at + from.size()));
  }

  void check(long long number, std::string_view text, bool whole);
  bool whole_file_is_utf8() const;
  void take_header_meta(const Words& words, std::string_view keyword, long long number);
  void check_reference(std::string_view named);
  void check_sub_file(std::string_view line);
  void tell_early_references(RunTally& tally, FindingSink& sink);
};

void FileChecks::State::take_header_meta(const Words& words, std::string_view keyword,
                                         long long number) {
  if (keyword == "Name:") {
    if (!has_name && words.count == 3) {
      has_name = true;
      name = words[2];
      name_number = number;
    }
  } else if (keyword == "Author:") {
    if (!author_decided && is_well_formed_author(words.joined_from(2))) {
      author_decided = true;
      has_author = words.count > 2;
    }
  } else if (keyword == "!LDRAW_ORG") {
    std::string_view found_qualifier;
    const int found = type < 0 ? ldraw_org_type(words, found_qualifier) : -1;
    if (found >= 0) {
      type = found;
      qualifier = found_qualifier;
    }
  } else if (keyword == "!LICENSE") {
    if (!has_licence && words.count > 2) {
      has_licence = true;
      licence = words.joined_from(2);
    }
  } else if (keyword == "!CATEGORY") {
    if (!has_category_line) {
      has_category_line = true;
      category_line = words.joined_from(2);
    }
  } else if (keyword == "!KEYWORDS") {
    const std::string text = words.joined_from(2);
    for (std::size_t at = 0; at <= text.size();) {
      std::size_t end = text.find(',', at);
      if (end == std::string::npos) end = text.size();
      std::string_view keyword_text(text.data() + at, end - at);
      while (!keyword_text.empty() && keyword_text.front() == ' ') keyword_text.remove_prefix(1);
      while (!keyword_text.empty() && keyword_text.back() == ' ') keyword_text.remove_suffix(1);
      if (keyword_text == "Colour Combination") colour_combination = true;
      const std::string lowered = lower_case(keyword_text);
      if (lowered.starts_with("set ") || lowered.starts_with("cmf") ||
          lowered.starts_with("build-a-minifigure")) {
        set_keyword = true;
      }
      at = end + 1;
    }
  }
}

void FileChecks::State::check_reference(std::string_view named) {
  if (has_name) {
    if (names_same_file(named, name)) fault(CheckId::kSelfReference);
  } else {
    reference_before_name = true;
  }
}

void FileChecks::State::check_sub_file(std::string_view line) {
  // Before the Name, any such line may name the file: whether one does is
  // found by reading them again once it is known.
  if (!has_name) {
    reference_before_name = true;
    return;
  }
  // The Name is one word: only a line that ends in it, after white space,
  // can name it, and only then are its words counted.
  std::string_view trimmed = line;
  while (!trimmed.empty() && (is_white(trimmed.back()) || trimmed.back() == '\n')) {
    trimmed.remove_suffix(1);
  }
  if (trimmed.size() <= name.size() || !is_white(trimmed[trimmed.size() - name.size() - 1]) ||
      !names_same_file(trimmed.substr(trimmed.size() - name.size()), name)) {
    return;
  }
  const Words words = words_of(line);
  if (words.count >= 15) check_reference(words.from(14));
}

void FileChecks::State::check(long long number, std::string_view text, bool whole) {
  std::size_t first = 0;
  if (number == 1 && byte_order_mark_skipped && text.starts_with("\xEF\xBB\xBF")) first = 3;
  std::size_t start = first;
  while (start < text.size() && is_white(text[start])) ++start;
  const auto word_ends = [&text](std::size_t at) {
    return at == text.size() || is_white(text[at]) || text[at] == '\n';
  };
  // The lines most files are made of are read no further than they need:
  // a sub-file line only for the file it names, a comment in the body not
  // at all, and past the header no line that is neither.
  if (start < text.size() && text[start] == '1' && word_ends(start + 1)) {
    any_word = true;
    in_header = false;
    check_sub_file(text.substr(first));
    return;
  }
  if (!in_header) {
    if (start == text.size() || text[start] != '0' || !word_ends(start + 1)) return;
    std::size_t keyword = start + 1;
    while (keyword < text.size() && is_white(text[keyword])) ++keyword;
    if (text.substr(keyword).starts_with("//") && word_ends(keyword + 2)) return;
  }
  const Words words = words_of(text.substr(first));
  const bool first_worded = !any_word && words.count > 0;
  any_word = any_word || words.count > 0;
  const std::string_view first_word = words[0];

  const bool empty = words.count == 0 || (first_word == "0" && words.count == 1) ||
                     (first_word == "0" && words.count == 2 && words[1] == "//");
  if (empty) return;
  if (first_word != "0") {
    in_header = false;
    return;
  }
  const std::string_view keyword = words[1];

  if (first_worded && !is_meta_keyword(keyword)) {
    has_description = true;
    const std::string_view description_text = words.from(1);
    description = description_text;
    description_line = text;
    description_offset = static_cast<std::size_t>(description_text.data() - text.data());
    description_number = number;
    description_whole = whole;
    if (mends && whole && known != nullptr && known->tilde_line == number) {
      replace_word(text, description_text.substr(0, 0), "~");
      verdict.mend = MendKind::kTilde;
      verdict.replacement = replacement;
    }
    return;
  }

  if (is_header_meta(keyword)) take_header_meta(words, keyword, number);
  if (keyword == "!HISTORY" && !is_well_formed_history(words.joined_from(2))) {
    fault(CheckId::kHistoryInvalid);
  }
  const std::string bfc = keyword == "BFC" ? well_formed_bfc(words) : std::string();
  if (keyword == "!:" && words[2] == "1" && words.count >= 17) check_reference(words.from(16));

  const bool certify = bfc == "CERTIFY" || bfc.starts_with("CERTIFY ") || bfc == "NOCERTIFY";
  if (in_header && (is_header_meta(keyword) || certify)) {
    if (certify && !header_bfc_seen) {
      header_bfc_seen = true;
      header_bfc = bfc;
      const bool may_reverse = known == nullptr || known->reversible;
      if (mends && whole && bfc == "CERTIFY CW" && may_reverse) {
        // CW made CCW, and every triangle and quad after it reversed.
        reversing = true;
        replace_word(text, words[3], "CCW");
        verdict.mend = MendKind::kCertifiedCcw;
        verdict.replacement = replacement;
        ++whole_mend_lines;
      }
    }
    return;
  }
  in_header = false;

  // The body: a comment, a well-formed BFC, !TEXMAP or !: line, and
  // nothing else.
  const bool allowed =
      keyword == "//" || !bfc.empty() || (keyword == "!TEXMAP" && is_well_formed_texmap(words)) ||
      (keyword == "!:" && words[2].size() == 1 && words[2][0] >= '1' && words[2][0] <= '5');
  if (!allowed) {
    fault(CheckId::kInvalidMeta, keyword);
    // A line that is no meta at all becomes a comment of the same words.
    if (mends && whole && !is_meta_keyword(keyword)) {
      replace_word(text, keyword.substr(0, 0), "// ");
      verdict.mend = MendKind::kCommented;
      verdict.carrier = verdict.faults - 1;
      verdict.replacement = replacement;
    }
  } else if (reversing && whole && !bfc.empty() &&
             (words[words.count - 1] == "CW" || words[words.count - 1] == "CCW")) {
    // With every face reversed, each winding the body states turns too.
    const std::string_view winding = words[words.count - 1];
    replace_word(text, winding, winding == "CW" ? "CCW" : "CW");
    verdict.mend = MendKind::kCertifiedCcw;
    verdict.replacement = replacement;
    ++whole_mend_lines;
  }
}

FileChecks::FileChecks(const FileText& file, bool mends, const FileFacts* known,
                       const LineReplacements* reversal)
    : state_(std::make_unique<State>()) {
  state_->file = file;
  state_->mends = mends;
  state_->known = known;
  state_->reversal = reversal;
}

FileChecks::~FileChecks() = default;

bool FileChecks::State::whole_file_is_utf8() const {
  Utf8Check whole_file;
  const bool read = read_again(file, [&whole_file](LineReader& reader) {
    std::string_view each;
    while (reader.next(each)) whole_file.feed(each);
  });
  // Where it cannot be read again, what was kept of it tells.
  if (!read) return is_strict_utf8(name) && is_strict_utf8(description);
  return whole_file.valid();
}

const FileLineVerdict& FileChecks::line(long long number, std::string_view piece, bool whole) {
  State& s = *state_;
  s.verdict.faults = 0;
  s.verdict.mend = MendKind::kNone;
  s.verdict.carrier = -1;
  // Past the header, a drawing line of type 2 to 5 holds nothing these
  // checks read.
  if (!s.in_header && piece[0] >= '2' && piece[0] <= '5') return s.verdict;
  if (number == 1 && piece.starts_with("\xEF\xBB\xBF")) {
    s.starts_with_byte_order_mark = true;
    // Whether the mark is skipped, or read as three characters, is the
    // whole file's to say: it is read through first.
    s.byte_order_mark_skipped =
        s.known != nullptr ? s.known->byte_order_mark_skipped : s.whole_file_is_utf8();
  }
  if (whole) {
    s.check(number, piece, true);
  } else {
    s.holding = true;
    s.held_number = number;
    s.held.assign(piece);
  }
  return s.verdict;
}

const FileLineVerdict& FileChecks::rest(std::string_view piece) {
  State& s = *state_;
  s.verdict = {};
  if (!s.holding) return s.verdict;
  s.held.append(piece.substr(
      0, std::min(piece.size(),
                  kLongestFileCheckLine - std::min(s.held.size(), kLongestFileCheckLine))));
  if (piece.back() == '\n') {
    s.holding = false;
    s.check(s.held_number, s.held, false);
  }
  return s.verdict;
}

bool FileChecks::reversing() const { return state_->reversing; }

bool FileChecks::reverse(std::string_view text, bool whole, bool counted, std::string& out) {
  State& s = *state_;
  // Most lines are no face: their first word tells.
  std::size_t start = 0;
  while (start < text.size() && is_white(text[start])) ++start;
  if (start == text.size() || (text[start] != '3' && text[start] != '4' && text[start] != '0')) {
    return false;
  }
  if (!whole) {
    // A face too long to be mended would keep its winding: the part keeps
    // its own.
    const LineWords type = split_words(text, 1);
    if (type.count == 1 && (type.words[0] == "3" || type.words[0] == "4")) s.reversible = false;
    return false;
  }
  bool any = false;
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t end = rest.find('\n');
    const std::string_view one =
        rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
    rest.remove_prefix(one.size());
    if (append_reversed_winding(out, one)) {
      any = true;
    } else {
      out.append(one);
    }
  }
  if (!any) {
    out.clear();
    return false;
  }
  if (!counted) ++s.whole_mend_lines;
  return true;
}

FileFacts FileChecks::facts() const {
  const State& s = *state_;
  FileFacts facts;
  const bool subpart =
      s.type >= 0 && kPartTypes[static_cast<std::size_t>(s.type)].name == "Subpart";
  if (subpart && s.has_description && s.description_whole && !s.description.starts_with('~')) {
    facts.tilde_line = s.description_number;
  }
  facts.reversible = s.reversible;
  facts.byte_order_mark_skipped = s.byte_order_mark_skipped;
  return facts;
}

void FileChecks::State::tell_early_references(RunTally& tally, FindingSink& sink) {
  // Lines before the Name that may name the file: read again, as nothing of
  // them was held.
  read_again(file, [&](LineReader& reader) {
    for_each_line(reader, [&](long long number, std::string_view text) {
      if (number >= name_number) return false;
      const std::size_t first =
          number == 1 && byte_order_mark_skipped && text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
      const Words words = words_of(text.substr(first));
      std::string_view named;
      if (words[0] == "1" && words.count >= 15) named = words.from(14);
      if (words[0] == "0" && words[1] == "!:" && words[2] == "1" && words.count >= 17) {
        named = words.from(16);
      }
      if (!named.empty() && names_same_file(named, name)) {
        Finding finding;
        finding.line_number = number;
        finding.check = CheckId::kSelfReference;
        finding.line_type = words[0] == "1" ? 1 : 0;
        finding.line = text;
        ++tally.line_faults;
        sink.take(finding);
      }
      return true;
    });
  });
}

void FileChecks::finish(RunTally& tally, FindingSink& sink) {
  State& s = *state_;
  if (s.holding) {
    // A last line longer than a piece, without an end.
    s.holding = false;
    s.verdict = {};
    s.check(s.held_number, s.held, false);
    tally.line_faults += s.verdict.faults;
    for (int i = 0; i < s.verdict.faults; ++i) {
      Finding finding;
      finding.line_number = s.held_number;
      finding.check = s.verdict.found[i].check;
      finding.line_type = 0;
      finding.text = s.verdict.found[i].text();
      sink.take(finding);
    }
  }
  // A reading that writes the mends has its findings told by the first.
  if (s.has_name && s.reference_before_name && s.known == nullptr) {
    s.tell_early_references(tally, sink);
  }

  // Text that is ASCII reads the same either way.
  const bool ascii = is_ascii(s.name) && is_ascii(s.description);
  const bool utf8 =
      s.starts_with_byte_order_mark ? s.byte_order_mark_skipped : ascii || s.whole_file_is_utf8();
  OneLine tilde;
  const auto tell = [&](CheckId check, std::string_view text = {},
                        const LineReplacements* mend_lines = nullptr,
                        MendKind mend = MendKind::kNone, long long lines_mended = 0) {
    Finding finding;
    finding.line_number = 0;
    finding.check = check;
    finding.line_type = 0;
    finding.text = text;
    if (s.mends && mend != MendKind::kNone) {
      finding.role = MendRole::kCarrier;
      finding.mend.kind = mend;
      finding.mend.lines = mend_lines;
      ++tally.resolved_errors;
      tally.mended_lines += lines_mended;
    }
    ++tally.line_faults;
    sink.take(finding);
  };

  const PartType* type = s.type >= 0 ? &kPartTypes[static_cast<std::size_t>(s.type)] : nullptr;
  const bool part_or_shortcut =
      type != nullptr && (type->name == "Part" || type->name == "Shortcut");
  // The category: the first !CATEGORY line's, else the description's word.
  std::string_view prefix;
  std::string category;
  if (s.has_description) {
    const std::size_t end = s.description.find_first_not_of("~_=|");
    prefix = std::string_view(s.description)
                 .substr(0, end == std::string::npos ? s.description.size() : end);
  }
  if (s.has_category_line) {
    category = s.category_line;
  } else if (s.has_description) {
    category = words_of(std::string_view(s.description).substr(prefix.size()))[0];
  }
  const bool valid_category = is_category(category);
  const auto category_is = [&](std::string_view name) {
    return valid_category && category == name;
  };
  std::string_view base;
  if (s.has_name) {
    base = s.name;
    const std::size_t separator = base.find_last_of("\\/");
    if (separator != std::string_view::npos) base.remove_prefix(separator + 1);
  }
  const std::string stem = stem_of(base);
  const bool pattern = part_or_shortcut && s.has_name && ends_in_suffix(stem, 'p', 2, 4);
  const OwnPlace own = s.has_name || type != nullptr ? own_place_of(s.file.path) : OwnPlace();
  std::string value;

  if (!s.has_description) tell(CheckId::kMissingDescription);
  if (!s.has_name) tell(CheckId::kMissingName);
  if (!s.has_author) tell(CheckId::kMissingAuthor);
  if (type == nullptr) tell(CheckId::kMissingLdrawOrg);
  if (!s.has_licence) tell(CheckId::kMissingLicense);
  if (s.has_licence && std::find(kApprovedLicences.begin(), kApprovedLicences.end(), s.licence) ==
                           kApprovedLicences.end()) {
    tell(CheckId::kLicenseNotApproved, s.licence);
  }
  if (s.has_name &&
      !(is_strict_utf8(own.name) && equal_in_any_case(as_utf8(base, utf8), own.name))) {
    value = formatted(text::kNameMismatchValue, s.name.c_str(), own.name.c_str());
    tell(CheckId::kNameMismatch, value);
  }
  if (s.has_name && type != nullptr) {
    const std::string expected = std::string(type->prefix) + std::string(base);
    if (!equal_in_any_case(s.name, expected)) {
      value = formatted(text::kNameTypeMismatchValue, s.name.c_str(), expected.c_str());
      tell(CheckId::kNameTypeMismatch, value);
    }
  }
  if (type != nullptr && !folder_ends_in(own.folder, type->folder)) {
    value = formatted(text::kFolderTypeMismatchValue, std::string(type->name).c_str(),
                      std::string(type->folder).c_str());
    tell(CheckId::kFolderTypeMismatch, value);
  }
  if (s.has_name && has_invalid_character(s.name, utf8)) tell(CheckId::kNameInvalidChars);
  if (s.has_name && (base.starts_with('x') || base.starts_with('X'))) {
    tell(CheckId::kXPrefixName, base);
  }
  if (s.header_bfc != "CERTIFY CCW") {
    value = s.header_bfc_seen ? "0 BFC " + s.header_bfc : std::string();
    const bool reversed = s.header_bfc == "CERTIFY CW" && s.reversible && s.reversing;
    tell(CheckId::kBfcNotCcw, value, s.reversal,
         reversed ? MendKind::kCertifiedCcw : MendKind::kNone, s.whole_mend_lines);
  }
  if (part_or_shortcut && !valid_category) {
    tell(CheckId::kCategoryInvalid, category);
  }
  if (s.has_description && has_invalid_character(s.description, utf8)) {
    tell(CheckId::kDescriptionInvalidChars);
  }
  if (s.has_description && type != nullptr) {
    if (type->name == "Subpart" && !prefix.starts_with('~')) {
      const bool mended = s.description_whole;
      if (mended) {
        tilde.number = s.description_number;
        tilde.was = s.description_line;
        tilde.replacement = s.description_line;
        tilde.replacement.insert(s.description_offset, "~");
      }
      tell(CheckId::kSubpartNoTilde, {}, &tilde, mended ? MendKind::kTilde : MendKind::kNone, 1);
    }
    if (part_or_shortcut && (category_is("Moved") || category_is("Obsolete")) &&
        !prefix.starts_with('~')) {
      tell(CheckId::kMovedObsoleteNoTilde);
    }
    if (part_or_shortcut && s.qualifier == "Alias" && prefix.find('=') == std::string_view::npos) {
      tell(CheckId::kAliasNoEquals);
    }
    if (part_or_shortcut && s.has_name && (base.starts_with('t') || base.starts_with('T')) &&
        prefix.find('|') == std::string_view::npos) {
      tell(CheckId::kThirdPartyNoPipe);
    }
    if (part_or_shortcut) {
      const bool says_obsolete = s.description.find("(Obsolete)") != std::string::npos ||
                                 s.description.starts_with("~Obsolete");
      if (says_obsolete != category_is("Obsolete")) tell(CheckId::kObsoleteImproper);
    }
    if (pattern && !category_is("Moved") && !category_is("Sticker") &&
        !category_is("Sticker Shortcut") && !s.colour_combination &&
        !ends_in_pattern(s.description)) {
      tell(CheckId::kPatternNotInDescription);
    }
  }
  if (pattern && !category_is("Modulex") && !category_is("Moved") && !s.set_keyword) {
    tell(CheckId::kPatternWithoutSetKeyword);
  }
  if (type != nullptr) {
    if (s.qualifier == "Physical_Colour" && !category_is("Obsolete"))
      tell(CheckId::kPhysicalColour);
    if (s.qualifier == "Alias" && !part_or_shortcut) tell(CheckId::kAliasNotInParts);
    if (s.qualifier == "Flexible_Section" && type->name != "Part") tell(CheckId::kFlexNotPart);
    if (s.qualifier == "Flexible_Section" && s.has_name && valid_category &&
        !category_is("Moved") && !category_is("Obsolete") && !ends_in_suffix(stem, 'k', 2, 2)) {
      tell(CheckId::kFlexSuffix);
    }
  }
}

}  // namespace skewquad
