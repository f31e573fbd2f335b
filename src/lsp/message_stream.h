// JSON-RPC messages framed as the Language Server Protocol frames them: a
// header of "Name: value" lines with Content-Length, a blank line, then
// that many bytes of body.
#pragma once

#include <cstddef>
#include <string>

namespace skewquad::lsp {

/// What reading the next message gave.
enum class Frame : std::uint8_t {
  kMessage,    // `body` holds a message's body
  kMalformed,  // a header without a length that can be read: skipped
  kTooLarge,   // a body longer than the most taken: skipped unread
  kEnd,        // the end of the input
};

/// The most bytes of body taken; longer messages are skipped.
inline constexpr std::size_t kMostBodyBytes = std::size_t{256} << 20;

/// Reads framed messages from standard input.
class MessageReader {
 public:
  /// The next message.
  Frame next(std::string& body);

  /// True when a message (or the end) can be read without waiting.
  bool more_waiting() const;

 private:
  bool fill();
  bool read_line(std::string& line);
  bool skip(std::size_t count);

  std::string buffer_;
  std::size_t used_ = 0;  // bytes of buffer_ already taken
  bool at_end_ = false;
};

/// Writes one message's body to standard output, framed, and flushes it.
/// False when it could not be written.
bool write_message(const std::string& body);

}  // namespace skewquad::lsp
