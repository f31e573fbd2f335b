#include "driver/line_reader.h"

#include <algorithm>
#include <cstring>

namespace skewquad {
namespace {

constexpr std::size_t kLongestPiece = kPieceCharacters + 1;

}  // namespace

LineReader::LineReader(std::FILE* file)
    : file_(file), buffer_(std::make_unique_for_overwrite<char[]>(capacity_)) {}

void LineReader::refill() {
  std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  end_ += std::fread(buffer_.get() + end_, 1, capacity_ - end_, file_);
  if (end_ < capacity_) {
    at_end_ = true;
    failed_ = std::ferror(file_) != 0;
  }
}

bool LineReader::next(std::string_view& piece) {
  // A piece is only cut once its longest possible extent is in the buffer.
  if (end_ - begin_ < kLongestPiece && !at_end_) refill();
  if (begin_ == end_) return false;

  const char* const start = buffer_.get() + begin_;
  const std::size_t available = end_ - begin_;
  std::size_t size = std::min(available, kPieceCharacters);
  const void* line_feed = std::memchr(start, '\n', std::min(available, kLongestPiece));
  if (line_feed != nullptr) {
    const auto offset = static_cast<std::size_t>(static_cast<const char*>(line_feed) - start);
    // A line feed in the last byte fits only as the second half of CR LF.
    if (offset < kPieceCharacters || start[offset - 1] == '\r') size = offset + 1;
  }
  piece = std::string_view(start, size);
  begin_ += size;
  return true;
}

}  // namespace skewquad
