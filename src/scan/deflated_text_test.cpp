// Deflated base64 against zlib's own inflate, over texts cut at every edge
// of a group of three and of the deflate buffers.
#include "scan/deflated_text.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

#if SKEWQUAD_WITH_ZLIB
#include <zlib.h>
#endif

namespace skewquad {
namespace {

#if SKEWQUAD_WITH_ZLIB

std::string from_base64(std::string_view text) {
  const std::string_view digits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned value = 0;
  int bits = 0;
  for (const char c : text) {
    if (c == '=') break;
    value = (value << 6) | static_cast<unsigned>(digits.find(c));
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes += static_cast<char>((value >> bits) & 0xFF);
    }
  }
  return bytes;
}

std::string inflated(const std::string& base64, std::size_t size) {
  EXPECT_EQ(base64.size() % 4, 0U);
  const std::string deflated = from_base64(base64);
  std::string text(size + 1, '\0');
  uLongf length = static_cast<uLongf>(text.size());
  EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(text.data()), &length,
                       reinterpret_cast<const Bytef*>(deflated.data()),
                       static_cast<uLong>(deflated.size())),
            Z_OK);
  text.resize(length);
  return text;
}

TEST(DeflatedText, InflatesToWhatItWasGivenInPiecesOfAnySize) {
  std::mt19937_64 random(22);
  for (const std::size_t size : {0, 1, 2, 3, 4, 5, 100, 16 * 1024, 1 << 20}) {
    std::string text;
    // Drawing lines of few distinct characters and random bytes, which
    // deflate cannot shrink, so that the output buffer fills.
    while (text.size() < size) {
      text += random() % 2 == 0 ? "4 16 -1.5 2 0 3 4 5 6 7 8 9 10 11\n"
                                : std::string(1, static_cast<char>(random()));
    }
    text.resize(size);
    std::string out = "{";
    DeflatedText deflated(out);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t piece = std::min<std::size_t>(text.size() - at, random() % 40000);
      deflated.add(std::string_view(text).substr(at, piece));
      at += piece;
    }
    deflated.finish();
    ASSERT_EQ(out[0], '{');
    EXPECT_EQ(
        out.find_first_not_of("{ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
        std::string::npos);
    EXPECT_EQ(inflated(out.substr(1), size), text) << size;
  }
}

#else

TEST(DeflatedText, InflatesToWhatItWasGivenInPiecesOfAnySize) {
  GTEST_SKIP() << "built without zlib";
}

#endif

}  // namespace
}  // namespace skewquad
