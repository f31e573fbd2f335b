// The output copy's stream: large buffered writes, failures remembered.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

namespace skewquad {

// The output copy: bytes gathered in a large buffer and handed to the file in
// big writes. A failed write is remembered rather than reported at once, so
// that the run can finish and say at the end that the copy is incomplete.
class CopyStream {
 public:
  explicit CopyStream(std::FILE* file);
  CopyStream(const CopyStream&) = delete;
  CopyStream& operator=(const CopyStream&) = delete;

  /// Adds `bytes` to the copy.
  void write(std::string_view bytes) {
    if (bytes.size() > capacity_ - used_) {
      write_large(bytes);
      return;
    }
    std::char_traits<char>::copy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
  }

  /// Hands everything gathered to the file and flushes it; false if any
  /// write so far has failed.
  bool flush();

 private:
  void write_large(std::string_view bytes);
  void drain();

  static constexpr std::size_t capacity_ = std::size_t{256} * 1024;
  std::FILE* file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace skewquad
