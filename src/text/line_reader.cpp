// The line reader: blocks of 256 KiB, line feeds found 128 bytes at a time
// (SSE2) or by the C library's memchr.
#include "text/line_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "text/line_feeds.h"

namespace skewquad {

LineReader::LineReader(std::FILE* file)
    : file_(file), buffer_(std::make_unique<char[]>(capacity_ + kReadableAfterPiece)) {}

void LineReader::restart(std::FILE* file) {
  file_ = file;
  text_ = {};
  begin_ = 0;
  end_ = 0;
  at_end_ = false;
  failed_ = false;
}

void LineReader::restart(std::string_view text) {
  restart(nullptr);
  text_ = text;
}

void LineReader::refill() {
  std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  if (file_ == nullptr) {
    const std::size_t size = std::min(capacity_ - end_, text_.size());
    std::memcpy(buffer_.get() + end_, text_.data(), size);
    text_.remove_prefix(size);
    end_ += size;
    at_end_ = end_ < capacity_;
    return;
  }
  end_ += std::fread(buffer_.get() + end_, 1, capacity_ - end_, file_);
  if (end_ < capacity_) {
    at_end_ = true;
    failed_ = std::ferror(file_) != 0;
  }
}

bool LineReader::next(std::string_view& piece) {
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
