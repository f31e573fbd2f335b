// Positions in a document as the protocol counts them: lines ended by LF,
// CR LF or a lone CR, characters in UTF-16 code units; and the document's
// lines as the scan counts them, ended by LF alone, laid over them.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace skewquad::lsp {

/// A position as the protocol gives it.
struct Position {
  std::size_t line = 0;
  std::size_t character = 0;  // UTF-16 code units from the line's start
  bool operator==(const Position&) const = default;
};

/// The protocol's lines of a text, found once.
class ProtocolLines {
 public:
  explicit ProtocolLines(std::string_view text);

  /// The position of the byte at `offset` (at most the text's size; an
  /// offset between the CR and LF of a line end counts as the line's end).
  Position position_of(std::size_t offset) const;

  /// The offset of the start of the protocol line `line`, or the text's
  /// size past its last line.
  std::size_t offset_of_line(std::size_t line) const;

 private:
  std::string_view text_;
  std::vector<std::size_t> starts_;  // of every line
};

/// Where a scan line lies in the text: its first byte, the end of its
/// content (before its line end: LF or CR LF), and the start of the next.
struct ScanLine {
  std::size_t start = 0;
  std::size_t content_end = 0;
  std::size_t next = 0;
};

/// The scan line `number` (from 1) of `text`, found from the offset
/// `from`, the start of the scan line `from_number` (at most `number`).
ScanLine scan_line(std::string_view text, long long number, std::size_t from = 0,
                   long long from_number = 1);

}  // namespace skewquad::lsp
