// The line checks.
#include "check/line_checks.h"

#include <algorithm>
#include <array>

#include "geometry/line_shapes.h"
#include "text/line_words.h"
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

Vertex point_at(const NumberForm* forms, int first) {
  return {forms[first].value, forms[first + 1].value, forms[first + 2].value};
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

LineVerdict check_line(std::string_view line, int type, long long line_number,
                       const LineRules& rules, FindingSink& sink, LineMending mending) {
  LineVerdict verdict;
  const CheckGroups& groups = rules.groups;
  // The faults are gathered first: a line to be removed has them all mended.
  constexpr int kMostFaults = 8;
  Finding found[kMostFaults];
  const auto report = [&](LineFault fault, std::string_view text) {
    Finding& finding = found[verdict.faults++];
    finding.line_number = line_number;
    finding.fate = QuadFate::kNoBand;
    finding.fault = fault;
    finding.line_type = type;
    finding.text = text;
    finding.line = line;
  };
  const auto hand_over = [&] {
    for (int i = 0; i < verdict.faults; ++i) {
      const LineFault fault = found[i].fault;
      found[i].mended = verdict.remove || (mending.zeros && (fault == LineFault::kTrailingZeros ||
                                                             fault == LineFault::kLeadingZeros));
      verdict.mended += found[i].mended ? 1 : 0;
      if (found[i].mended && !verdict.remove) found[i].replacement = mending.without_zeros;
      verdict.rewrite_zeros = verdict.rewrite_zeros || (found[i].mended && !verdict.remove);
      sink.take(found[i]);
    }
    return verdict;
  };
  const int numbers = numbers_of_type(type);
  const LineWords words = split_words(line, 1 + numbers);
  // Word 0 is the type, word 1 the colour, then the numbers.
  // Values are needed for the geometry of lines, triangles, conditional
  // lines and sub-files alone.
  const bool with_values = groups.lines && type != 4;
  std::array<NumberForm, LineWords::kMostWords> forms;  // NOLINT: filled up to words.count
  bool complete = words.count == 1 + numbers;
  for (int i = 2; i < words.count; ++i) {
    forms[static_cast<std::size_t>(i)] = number_form(words.words[i], with_values);
    complete = complete && forms[static_cast<std::size_t>(i)].is_number;
  }
  std::int32_t colour = 0;
  const bool direct = words.count > 1 && is_direct_colour(words.words[1]);
  if (words.count > 1 && !direct) {
    const std::string_view word = words.words[1];
    complete = complete && scan_int(word, colour) == word.data() + word.size();
  }
  // A sub-file reference ends in a name; every other line ends there.
  complete = complete && (type == 1) == !words.rest.empty();
  if (!complete) {
    if (groups.lines && type != 4) report(LineFault::kInvalid, {});
    return hand_over();
  }

  if (groups.colours) {
    if (!direct && rules.colours != nullptr && !rules.colours->has(colour)) {
      report(LineFault::kUnknownColour, words.words[1]);
    }
    const bool edge = !direct && colour == kEdgeColour;
    if ((type == 1 || type == 3 || type == 4) && edge) {
      report(LineFault::kColour24, words.words[1]);
      verdict.settled = type == 4;
    } else if ((type == 2 || type == 5) && !edge) {
      report(LineFault::kEdgeColour, words.words[1]);
    }
  }

  if (groups.lines) {
    switch (type) {
      case 1: {
        double matrix[9];
        for (int i = 0; i < 9; ++i) matrix[i] = forms[5 + i].value;
        if (is_singular(matrix)) report(LineFault::kSingular, {});
        break;
      }
      case 2:
        if (point_at(forms.data(), 2) == point_at(forms.data(), 5)) {
          report(LineFault::kIdentical, {});
          verdict.remove = mending.removal;
        }
        break;
      case 3:
        switch (triangle_fault(point_at(forms.data(), 2), point_at(forms.data(), 5),
                               point_at(forms.data(), 8))) {
          case TriangleFault::kIdenticalCorners:
            report(LineFault::kIdentical, {});
            verdict.remove = mending.removal;
            break;
          case TriangleFault::kCollinearCorners:
            report(LineFault::kCollinear, {});
            break;
          case TriangleFault::kNone:
            break;
        }
        break;
      case 5:
        if (point_at(forms.data(), 2) == point_at(forms.data(), 5) ||
            point_at(forms.data(), 8) == point_at(forms.data(), 11)) {
          report(LineFault::kIdentical, {});
        }
        break;
      default:
        break;
    }
  }

  if (groups.numbers) {
    std::string_view decimals;
    std::string_view trailing;
    std::string_view leading;
    for (int i = 2; i < words.count; ++i) {
      if (decimals.empty() && forms[i].fraction_digits >= 6) decimals = words.words[i];
      if (trailing.empty() && forms[i].trailing_zero) trailing = words.words[i];
      if (leading.empty() && forms[i].leading_zero) leading = words.words[i];
    }
    if (!decimals.empty()) report(LineFault::kDecimals, decimals);
    if (!trailing.empty()) report(LineFault::kTrailingZeros, trailing);
    if (!leading.empty()) report(LineFault::kLeadingZeros, leading);
  }
  return hand_over();
}

void append_without_needless_zeros(std::string& out, std::string_view piece, std::string_view line,
                                   int type) {
  const LineWords words = split_words(line, 1 + numbers_of_type(type));
  const char* copied = piece.data();
  char room[LineWords::kMostWords + 1024];
  for (int i = 2; i < words.count; ++i) {
    const std::string_view word = words.words[i];
    const NumberForm form = number_form(word);
    if (!form.trailing_zero && !form.leading_zero) continue;
    out.append(copied, word.data());
    out.append(without_needless_zeros(word, room));
    copied = word.data() + word.size();
  }
  out.append(copied, piece.data() + piece.size());
}

}  // namespace skewquad
