// What the report printers share: the sink's count of findings on lines
// alike.
#include "scan/report_printer.h"

#include <algorithm>

namespace skewquad {

std::string_view line_without_end(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

std::uint32_t LineOccurrences::next(const Finding& finding) {
  // 32-bit FNV-1a (Fowler, Noll and Vo): offset basis 2166136261, prime
  // 16777619; over the line's text and the check.
  std::uint32_t hash = 2166136261U;
  for (const char c : line_without_end(finding.line)) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
  }
  hash = (hash ^ static_cast<std::uint32_t>(finding.check)) * 16777619U;
  std::uint32_t& count = counts_[(hash ^ (hash >> 16)) % kCounters];
  if (count == 0) used_.push_back(static_cast<std::uint32_t>(&count - counts_.data()));
  return count++;
}

void LineOccurrences::clear() {
  // Most files have few findings: only the counters they used are cleared.
  if (used_.size() * 8 > kCounters) {
    std::fill(counts_.begin(), counts_.end(), 0);
  } else {
    for (const std::uint32_t used : used_) counts_[used] = 0;
  }
  used_.clear();
}

}  // namespace skewquad
