// The line reader: blocks of 256 KiB, line feeds found 128 bytes at a time
// (SSE2) or by the C library's memchr.
#include "text/line_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

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

}  // namespace skewquad
