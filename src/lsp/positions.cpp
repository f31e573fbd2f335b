// Counting the protocol's lines and characters.
#include "lsp/positions.h"

#include <algorithm>
#include <cstring>

#include "text/utf16_length.h"

namespace skewquad::lsp {

ProtocolLines::ProtocolLines(std::string_view text) : text_(text) {
  starts_.push_back(0);
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  // From one LF to the next, then the lone CRs between them: both found by
  // memchr, a document of many lines being read here at every change.
  for (const char* at = begin; at < end;) {
    const auto* line_feed = static_cast<const char*>(std::memchr(at, '\n', end - at));
    const char* const line_end = line_feed == nullptr ? end : line_feed;
    for (const char* cr = at; cr < line_end;) {
      cr = static_cast<const char*>(std::memchr(cr, '\r', line_end - cr));
      if (cr == nullptr) break;
      ++cr;
      // A CR just before the LF is half of CR LF.
      if (cr != line_feed) starts_.push_back(static_cast<std::size_t>(cr - begin));
    }
    if (line_feed == nullptr) break;
    at = line_feed + 1;
    starts_.push_back(static_cast<std::size_t>(at - begin));
  }
}

Position ProtocolLines::position_of(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const auto line = static_cast<std::size_t>(after - starts_.begin()) - 1;
  std::string_view before = text_.substr(starts_[line], offset - starts_[line]);
  // A line's own end is not one of its characters.
  if (before.ends_with('\r')) before.remove_suffix(1);
  return {line, utf16_length(before)};
}

std::size_t ProtocolLines::offset_of_line(std::size_t line) const {
  return line < starts_.size() ? starts_[line] : text_.size();
}

ScanLine scan_line(std::string_view text, long long number, std::size_t from,
                   long long from_number) {
  std::size_t start = from;
  for (long long at = from_number; at < number && start < text.size(); ++at) {
    const void* end = std::memchr(text.data() + start, '\n', text.size() - start);
    start = end == nullptr ? text.size() : static_cast<const char*>(end) - text.data() + 1;
  }
  const void* end = std::memchr(text.data() + start, '\n', text.size() - start);
  ScanLine line;
  line.start = start;
  if (end == nullptr) {
    line.content_end = line.next = text.size();
  } else {
    line.next = static_cast<const char*>(end) - text.data() + 1;
    line.content_end = line.next - 1;
    if (line.content_end > start && text[line.content_end - 1] == '\r') --line.content_end;
  }
  return line;
}

}  // namespace skewquad::lsp
