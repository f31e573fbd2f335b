// A document's text checked by the one analysis of a file, to the last bit
// as the scan checks the same bytes in a file: its diagnostics, and the
// mends that quick fixes offer, each placed where the protocol counts.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "ldraw/analysis.h"
#include "lsp/positions.h"

namespace skewquad::lsp {

using Json = nlohmann::ordered_json;

/// Every finding of `text` as a JSON array of diagnostics, written out,
/// each over its scan line (which a lone CR may carry over more than one of
/// the protocol's lines).
std::string diagnostics_of(std::string_view text, const ProtocolLines& lines,
                           const Analysis& analysis);

/// A line that can be mended: its whole extent, its end included, and what
/// replaces it (the same bytes --fix writes).
struct QuickFix {
  long long line = 0;  // the scan line, from 1
  Position start;
  Position end;
  std::string replacement;
  std::string title;  // what the mend does, as the report says it
};

/// The mends of the scan lines that hold any of the protocol's lines
/// `first` to `last`; only those lines are analysed.
std::vector<QuickFix> quick_fixes_in(std::string_view text, const ProtocolLines& lines,
                                     const Analysis& analysis, std::size_t first, std::size_t last);

/// Every mend of `text`, in line order.
std::vector<QuickFix> all_quick_fixes(std::string_view text, const ProtocolLines& lines,
                                      const Analysis& analysis);

}  // namespace skewquad::lsp
