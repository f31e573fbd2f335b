// The line checks.
#include "check/line_checks.h"

#include <algorithm>
#include <array>

#include "geometry/line_shapes.h"
#include "text/line_words.h"
#include "text/plain_decimal.h"
#include "text/quad_words.h"
#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

inline constexpr int kEdgeColour = 24;

// Numbers after the type word of each line type, the colour first.
int numbers_of_type(int type) {
  switch (type) {
    case 1:
    case 4:
    case 5:
      return 13;
    case 2:
      return 7;
    case 3:
      return 10;
    default:
      return 0;
  }
}

}  // namespace

void ColourTable::add(std::int32_t code) {
  const auto at = std::lower_bound(codes_.begin(), codes_.end(), code);
  if (at == codes_.end() || *at != code) codes_.insert(at, code);
}

bool ColourTable::has(std::int32_t code) const {
  return std::binary_search(codes_.begin(), codes_.end(), code);
}

std::string_view texture_map_geometry(std::string_view line) {
  constexpr std::string_view kTextureMapPrefix = "0 !: ";
  if (!line.starts_with(kTextureMapPrefix)) return {};
  return line.substr(kTextureMapPrefix.size());
}

namespace {

// What the checks of a line go by, however it was read.
struct ReadLine {
  bool complete = false;  // its type's count of numbers (and a name, for type 1)
  bool direct = false;    // a direct colour
  std::int32_t colour = 0;
  std::string_view colour_word;
  double values[12];  // NOLINT: filled for a complete line whose values are wanted
  // The first number of each untidy form, or empty.
  std::string_view decimals;
  std::string_view trailing;
  std::string_view leading;
};

// Reads a line whose words the locator found tidy and whose colour is a
// decimal word: false, with nothing read, for any other.
bool read_located(std::string_view line, int type, bool with_values, QuadWords& words,
                  ReadLine& read) {
  // The locator reads past the line, and its last word must end within it.
  if (line.empty() || !is_scan_space(line.back())) return false;
  const int words_wanted = 1 + numbers_of_type(type);
  const int count = locate_tidy_words(line, words_wanted, words);
  // A sub-file reference ends in a name; every other line ends there.
  if (count == 0 || (type == 1 ? count == words_wanted : count != words_wanted)) return false;
  if (!read_digits_word(line.data() + words.start[1], read.colour)) return false;
  read.complete = true;
  const char* const colour = line.data() + words.start[1];
  std::size_t length = 1;
  while (!is_scan_space(colour[length])) ++length;
  read.colour_word = std::string_view(colour, length);
  if (with_values) {
    const int numbers = words_wanted - 2;
    PlainDecimal located[12];
    plain_decimals_at(line.data(), words.start + 2, numbers, located);
    values_of(located, numbers, read.values);
  }
  return true;
}

// Reads any line word by word, each number's form as written.
void read_word_by_word(std::string_view line, int type, bool with_values, ReadLine& read) {
  const int numbers = numbers_of_type(type);
  const LineWords words = split_words(line, 1 + numbers);
  // Word 0 is the type, word 1 the colour, then the numbers.
  std::array<NumberForm, LineWords::kMostWords> forms;  // NOLINT: filled up to words.count
  bool complete = words.count == 1 + numbers;
  for (int i = 2; i < words.count; ++i) {
    forms[static_cast<std::size_t>(i)] = number_form(words.words[i], with_values);
    complete = complete && forms[static_cast<std::size_t>(i)].is_number;
  }
  read.direct = words.count > 1 && is_direct_colour(words.words[1]);
  if (words.count > 1 && !read.direct) {
    const std::string_view word = words.words[1];
    complete = complete && scan_int(word, read.colour) == word.data() + word.size();
  }
  complete = complete && (type == 1) == !words.rest.empty();
  read.complete = complete;
  if (!complete) return;
  read.colour_word = words.words[1];
  for (int i = 2; i < words.count; ++i) {
    const NumberForm& form = forms[static_cast<std::size_t>(i)];
    read.values[i - 2] = form.value;
    if (read.decimals.empty() && form.fraction_digits >= 6) read.decimals = words.words[i];
    if (read.trailing.empty() && form.trailing_zero) read.trailing = words.words[i];
    if (read.leading.empty() && form.leading_zero) read.leading = words.words[i];
  }
}

Vertex point_at(const double* values, int first) {
  return {values[first], values[first + 1], values[first + 2]};
}

}  // namespace

LineVerdict check_line(std::string_view line, int type, const LineRules& rules,
                       QuadWords* quad_words) {
  LineVerdict verdict;
  const CheckGroups& groups = rules.groups;
  const auto report = [&verdict](CheckId check, std::string_view text) {
    verdict.found[verdict.faults++] = {check, text.data(), text.size()};
  };
  // Values are needed for the geometry of lines, triangles, conditional
  // lines and sub-files alone.
  const bool with_values = groups.lines && type != 4;
  ReadLine read;
  QuadWords own_words;
  QuadWords& words = quad_words != nullptr && type == 4 ? *quad_words : own_words;
  const bool located = read_located(line, type, with_values, words, read);
  if (!located) read_word_by_word(line, type, with_values, read);
  verdict.quad_located = located && type == 4;
  if (!read.complete) {
    if (groups.lines && type != 4) report(CheckId::kInvalid, {});
    return verdict;
  }

  if (groups.colours) {
    if (!read.direct && rules.colours != nullptr && !rules.colours->has(read.colour)) {
      report(CheckId::kUnknownColour, read.colour_word);
    }
    const bool edge = !read.direct && read.colour == kEdgeColour;
    if ((type == 1 || type == 3 || type == 4) && edge) {
      report(CheckId::kColour24, read.colour_word);
      verdict.settled = type == 4;
    } else if ((type == 2 || type == 5) && !edge) {
      report(CheckId::kEdgeColour, read.colour_word);
    }
  }

  if (groups.lines) {
    const double* values = read.values;
    switch (type) {
      case 1: {
        double matrix[9];
        for (int i = 0; i < 9; ++i) matrix[i] = values[3 + i];
        if (is_singular(matrix)) report(CheckId::kSingular, {});
        break;
      }
      case 2:
        if (point_at(values, 0) == point_at(values, 3)) {
          report(CheckId::kIdentical, {});
          verdict.draws_nothing = true;
        }
        break;
      case 3:
        switch (triangle_fault(point_at(values, 0), point_at(values, 3), point_at(values, 6))) {
          case TriangleFault::kIdenticalCorners:
            report(CheckId::kIdentical, {});
            verdict.draws_nothing = true;
            break;
          case TriangleFault::kCollinearCorners:
            report(CheckId::kCollinear, {});
            break;
          case TriangleFault::kNone:
            break;
        }
        break;
      case 5:
        if (point_at(values, 0) == point_at(values, 3) ||
            point_at(values, 6) == point_at(values, 9)) {
          report(CheckId::kIdentical, {});
        }
        break;
      default:
        break;
    }
  }

  if (groups.numbers) {
    if (!read.decimals.empty()) report(CheckId::kDecimals, read.decimals);
    if (!read.trailing.empty()) report(CheckId::kTrailingZeros, read.trailing);
    if (!read.leading.empty()) report(CheckId::kLeadingZeros, read.leading);
    verdict.needless_zeros = !read.trailing.empty() || !read.leading.empty();
  }
  return verdict;
}

int append_without_needless_zeros(std::string& out, std::string_view piece, std::string_view line,
                                  int type, std::string_view& first) {
  const LineWords words = split_words(line, 1 + numbers_of_type(type));
  const char* copied = piece.data();
  char room[LineWords::kMostWords + 1024];
  int rewritten = 0;
  for (int i = 2; i < words.count; ++i) {
    const std::string_view word = words.words[i];
    const NumberForm form = number_form(word);
    if (!form.trailing_zero && !form.leading_zero) continue;
    if (rewritten++ == 0) first = word;
    out.append(copied, word.data());
    out.append(without_needless_zeros(word, room));
    copied = word.data() + word.size();
  }
  out.append(copied, piece.data() + piece.size());
  return rewritten;
}

}  // namespace skewquad
