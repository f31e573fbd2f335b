// Reversing a face's corners, its words and spaces as written.
#include "check/reversed_winding.h"

#include "check/line_checks.h"
#include "text/line_words.h"

namespace skewquad {

bool append_reversed_winding(std::string& out, std::string_view line) {
  const std::string_view texture_map = texture_map_geometry(line);
  const std::string_view geometry = texture_map.empty() ? line : texture_map;
  const LineWords type = split_words(geometry, 1);
  if (type.count != 1 || (type.words[0] != "3" && type.words[0] != "4")) return false;
  const int corners = type.words[0][0] - '0';
  const int wanted = 2 + 3 * corners;
  const LineWords words = split_words(geometry, wanted);
  // Nothing after the last corner: words after it would not be the face's,
  // and where they belong is unknown.
  if (words.count != wanted || !words.rest.empty()) return false;
  const auto at = [&](int word) { return words.words[word].data(); };
  out.append(line.data(), at(2));
  const char* const last_end = at(wanted - 1) + words.words[wanted - 1].size();
  for (int corner = corners - 1; corner >= 0; --corner) {
    const int first = 2 + 3 * corner;
    // The separator before each word stays where it stood: only the words
    // move.
    for (int axis = 0; axis < 3; ++axis) {
      const int place = 2 + 3 * (corners - 1 - corner) + axis;
      if (place > 2) out.append(at(place - 1) + words.words[place - 1].size(), at(place));
      out.append(words.words[first + axis]);
    }
  }
  out.append(last_end, line.data() + line.size());
  return true;
}

}  // namespace skewquad
