// A text written as the scan goes, deflated (the zlib format) and in
// base64, so that a report can hold a file's text in a fraction of its size
// and a browser can inflate it when it is wanted.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace skewquad {

/// True when this build deflates; a report holds plain text otherwise.
bool can_deflate();

/// Deflates what it is given into base64 appended to `out`, holding no more
/// than a few buffers of it at a time.
class DeflatedText {
 public:
  explicit DeflatedText(std::string& out);
  ~DeflatedText();
  DeflatedText(const DeflatedText&) = delete;
  DeflatedText& operator=(const DeflatedText&) = delete;

  void add(std::string_view text);
  /// Ends the stream: the base64 then holds every byte given. Only once.
  void finish();

 private:
  struct Stream;
  void encode(const unsigned char* bytes, std::size_t size);
  void write_group(std::size_t filled);
  void end_base64();

  std::string& out_;
  std::unique_ptr<Stream> stream_;
  unsigned char carried_[3] = {};  // bytes awaiting the rest of their group of three
  std::size_t carried_size_ = 0;
};

}  // namespace skewquad
