// Reading and writing framed messages.
#include "lsp/message_stream.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "platform/console.h"

namespace skewquad::lsp {
namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 20;

bool iequals_prefix(std::string_view line, std::string_view name) {
  if (line.size() < name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char a = line[i] >= 'A' && line[i] <= 'Z' ? static_cast<char>(line[i] + 32) : line[i];
    if (a != name[i]) return false;
  }
  return true;
}

}  // namespace

bool MessageReader::fill() {
  if (at_end_) return false;
  // What was taken goes once it is most of the buffer: moving the rest
  // down on every read would copy a large body over and over.
  if (used_ > 0 && used_ * 2 >= buffer_.size()) {
    buffer_.erase(0, used_);
    used_ = 0;
  }
  const std::size_t size = buffer_.size();
  buffer_.resize(size + kReadBlock);
  const long count = platform::read_standard_input(buffer_.data() + size, kReadBlock);
  buffer_.resize(size + static_cast<std::size_t>(count > 0 ? count : 0));
  if (count <= 0) at_end_ = true;
  return count > 0;
}

bool MessageReader::read_line(std::string& line) {
  for (;;) {
    const std::size_t end = buffer_.find('\n', used_);
    if (end != std::string::npos) {
      line.assign(buffer_, used_, end - used_);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      used_ = end + 1;
      return true;
    }
    // A header line longer than any header has no end worth waiting for.
    if (buffer_.size() - used_ > 8192) {
      used_ = buffer_.size();
      line = "\x01";
      return true;
    }
    if (!fill()) return false;
  }
}

bool MessageReader::skip(std::size_t count) {
  while (buffer_.size() - used_ < count) {
    count -= buffer_.size() - used_;
    used_ = buffer_.size();
    if (!fill()) return false;
  }
  used_ += count;
  return true;
}

Frame MessageReader::next(std::string& body) {
  std::string line;
  std::size_t length = 0;
  bool has_length = false;
  bool malformed = false;
  for (;;) {
    if (!read_line(line)) return Frame::kEnd;
    if (line.empty()) {
      if (has_length || malformed) break;
      continue;  // blank lines between messages
    }
    constexpr std::string_view kLength = "content-length:";
    if (iequals_prefix(line, kLength)) {
      std::string_view value = std::string_view(line).substr(kLength.size());
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
      has_length = error == std::errc() && end == value.data() + value.size();
      malformed = malformed || !has_length;
    } else if (line.find(':') == std::string::npos) {
      malformed = true;
    }
  }
  if (malformed || !has_length) return Frame::kMalformed;
  if (length > kMostBodyBytes) return skip(length) ? Frame::kTooLarge : Frame::kEnd;
  // What the buffer holds of the body, then the rest read straight into it:
  // a large body is held once, not in the buffer as well.
  const std::size_t buffered = std::min(length, buffer_.size() - used_);
  body.assign(buffer_, used_, buffered);
  used_ += buffered;
  body.resize(length);
  for (std::size_t have = buffered; have < length;) {
    const long count = platform::read_standard_input(body.data() + have, length - have);
    if (count <= 0) {
      at_end_ = true;
      return Frame::kEnd;
    }
    have += static_cast<std::size_t>(count);
  }
  return Frame::kMessage;
}

bool MessageReader::more_waiting() const {
  return used_ < buffer_.size() || at_end_ || platform::standard_input_waiting();
}

bool write_message(const std::string& body) {
  const std::string header = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  return std::fwrite(header.data(), 1, header.size(), stdout) == header.size() &&
         std::fwrite(body.data(), 1, body.size(), stdout) == body.size() &&
         std::fflush(stdout) == 0;
}

}  // namespace skewquad::lsp
