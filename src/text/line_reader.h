// The line reader: a file cut into the pieces fgets would read, from large
// blocks, with room to read past every piece.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

#include "text/line_feeds.h"
#include "text/read_ahead.h"

namespace skewquad {

// Cuts a file into the pieces that fgets with a 1024-byte buffer would read
// in text mode, while reading the file in large blocks. Every byte stays as
// it was: CR LF, a lone CR, NUL and 0x1A bytes all come through unchanged.
// kReadableAfterPiece bytes, of any value, can be read after every piece.
class LineReader {
 public:
  /// A reader of `file`, or of nothing until restarted.
  explicit LineReader(std::FILE* file = nullptr);

  /// Reads `file` from its start, with the buffer already allocated.
  void restart(std::FILE* file);

  /// Reads `text`, held in memory by the caller while it is read, as a
  /// file holding it would be read.
  void restart(std::string_view text);

  /// The next piece, valid until the next call; false at the end of the
  /// file or on a read error.
  bool next(std::string_view& piece);

  /// True when the next call of next() may move what the buffer holds: the
  /// pieces given so far are then gone.
  bool may_move_next() const { return end_ - begin_ <= kPieceCharacters && !at_end_; }

  /// True once a read has failed; the pieces before the failure were given.
  bool failed() const { return failed_; }

 private:
  void refill();

  static constexpr std::size_t capacity_ = std::size_t{256} * 1024;
  std::FILE* file_;
  std::string_view text_;  // what is left of a text read from memory
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
};

// Defined here so that the line loop has it inlined wherever it runs: its
// callers are many, and a call a piece costs the classic run a tenth more.
inline bool LineReader::next(std::string_view& piece) {
  // A piece is only cut once its longest possible extent is in the buffer.
  if (may_move_next()) refill();
  if (begin_ == end_) return false;

  const char* const start = buffer_.get() + begin_;
  const std::size_t available = end_ - begin_;
  std::size_t size = std::min(available, kPieceCharacters);
  const char* const limit = start + std::min(available, kLongestPieceBytes);
  const char* const line_feed = find_line_feed(start, limit);
  if (line_feed != limit) {
    const auto offset = static_cast<std::size_t>(line_feed - start);
    // A line feed in the last byte fits only as the second half of CR LF.
    if (offset < kPieceCharacters || start[offset - 1] == '\r') size = offset + 1;
  }
  piece = std::string_view(start, size);
  begin_ += size;
  return true;
}

}  // namespace skewquad
