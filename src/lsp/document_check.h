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

/// Every finding of `text`, the document of the file `path` (empty: none),
/// as a JSON array of diagnostics, written out, each over its scan line
/// (which a lone CR may carry over more than one of the protocol's lines);
/// a finding of the file as a whole over its first line.
std::string diagnostics_of(std::string_view text, std::string_view path, const ProtocolLines& lines,
                           const Analysis& analysis);

/// One replacement of a quick fix: an extent of the text, and what
/// replaces it (the same bytes --fix writes).
struct TextEdit {
  Position start;
  Position end;
  std::string replacement;
};

/// A finding's mend: the extent of its line, its end included (the first
/// line for a finding of the file as a whole), and what it replaces.
struct QuickFix {
  long long line = 0;  // the scan line, from 1
  std::string check;   // the check of the finding it mends
  Position start;
  Position end;
  std::vector<TextEdit> edits;  // each line it replaces
  std::string title;            // what the mend does, as the report says it
};

/// The mends of the findings on the scan lines that hold any of the
/// protocol's lines `first` to `last`: each line's own, from those lines
/// alone, and those of the file as a whole, each made on its own.
std::vector<QuickFix> quick_fixes_in(std::string_view text, std::string_view path,
                                     const ProtocolLines& lines, const Analysis& analysis,
                                     std::size_t first, std::size_t last);

/// Every mend of `text`, as --fix makes them all at once, in line order.
std::vector<QuickFix> all_quick_fixes(std::string_view text, std::string_view path,
                                      const ProtocolLines& lines, const Analysis& analysis);

}  // namespace skewquad::lsp
