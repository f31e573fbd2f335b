// A document's text checked by the check core, to the last bit as the
// scan checks the same bytes in a file: its diagnostics, and the
// mends that quick fixes offer.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "ldraw/analysis.h"

namespace skewquad::lsp {

using Json = nlohmann::ordered_json;

/// The length of `line` in UTF-16 code units, as the protocol counts
/// positions (a byte that is not UTF-8 counts as one).
std::size_t utf16_length(std::string_view line);

/// Every finding of `text` as LSP diagnostics, each over its whole line.
Json diagnostics_of(std::string_view text, const Analysis& analysis);

/// A line that can be mended, and what replaces it.
struct QuickFix {
  long long line = 0;          // from 1
  std::string replacement;     // the mend's lines with their ends; empty: the line goes
  std::string title;           // what the mend does, as the report says it
  std::size_t line_utf16 = 0;  // the line's length without its end
  bool line_ended = true;      // the line has an end of its own
};

/// Every mend of `text`, in line order (the findings of every level).
std::vector<QuickFix> mends_of(std::string_view text, const Analysis& analysis);

}  // namespace skewquad::lsp
