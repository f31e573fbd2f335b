// The line reader: blocks of 256 KiB, line feeds found 128 bytes at a time
// (SSE2) or by the C library's memchr.
#include "text/line_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "text/simd.h"

namespace skewquad {
namespace {

#if SKEWQUAD_USE_SSE2

// One bit for each line feed among the 64 bytes from `p`, bit i for p[i].
std::uint64_t line_feeds_in(const char* p) {
  std::uint64_t bits = 0;
#pragma GCC unroll 4
  for (std::ptrdiff_t chunk = 0; chunk < 4; ++chunk) {
    const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * chunk));
    const auto found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(text, _mm_set1_epi8('\n'))));
    bits |= static_cast<std::uint64_t>(found) << (16 * chunk);
  }
  return bits;
}

// The first line feed at or after `p` and before `limit`, or `limit`; the
// kLineFeedWindow bytes from `p` are read as two halves of 64. A
// branch on which half of the window holds it would be mispredicted line
// after line, so both halves are counted and one chosen with a mask. The
// counts are of words made nonzero by a top bit, which for the high half
// stands for "none": its last byte is looked at again below.
const char* find_line_feed(const char* p, const char* limit) {
  constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;
  const std::uint64_t low = line_feeds_in(p);
  const std::uint64_t high = line_feeds_in(p + 64);
  // All ones when `low` is zero: x | -x has its top bit set for every x but
  // zero.
  const std::uint64_t low_is_empty = ((low | (~low + 1)) >> 63) - 1;
  const auto in_low = static_cast<std::uint64_t>(std::countr_zero(low | kTopBit));
  const auto in_high = 64 + static_cast<std::uint64_t>(std::countr_zero(high | kTopBit));
  const std::size_t offset = in_low ^ ((in_low ^ in_high) & low_is_empty);
  constexpr std::size_t kSearched = kLineFeedWindow - 1;
  if (offset < kSearched) return std::min(p + offset, limit);
  if (limit - p <= static_cast<std::ptrdiff_t>(kSearched)) return limit;
  const void* found =
      std::memchr(p + kSearched, '\n', static_cast<std::size_t>(limit - p) - kSearched);
  return found != nullptr ? static_cast<const char*>(found) : limit;
}

#else

// The first line feed at or after `p` and before `limit`, or `limit`, by the
// C library's memchr, which is vectorised wherever the target has vectors.
const char* find_line_feed(const char* p, const char* limit) {
  const void* found = std::memchr(p, '\n', static_cast<std::size_t>(limit - p));
  return found != nullptr ? static_cast<const char*>(found) : limit;
}

#endif

}  // namespace

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
