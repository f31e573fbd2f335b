// The line reader against a byte-by-byte reading rule.
#include "text/line_reader.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_files.h"

namespace skewquad {
namespace {

std::vector<std::string> pieces_of(std::string_view content) {
  std::FILE* file = testing::file_holding(content);
  LineReader reader(file);
  std::vector<std::string> pieces;
  std::string_view piece;
  while (reader.next(piece)) pieces.emplace_back(piece);
  EXPECT_FALSE(reader.failed());
  std::fclose(file);
  return pieces;
}

TEST(LineReader, KeepsEveryLineEndAndEveryByteAsItWas) {
  // Octal escapes: \032 is Ctrl-Z, \000 is NUL.
  const std::string odd_bytes("\0324 5\0006\r\n", 8);
  const std::string content = "0 a\r\n\n3 1\r2\n" + odd_bytes + "last";
  EXPECT_EQ(pieces_of(content),
            (std::vector<std::string>{"0 a\r\n", "\n", "3 1\r2\n", odd_bytes, "last"}));
  EXPECT_TRUE(pieces_of("").empty());
  EXPECT_EQ(pieces_of("\r"), std::vector<std::string>{"\r"});
}

TEST(LineReader, CutsLongLinesAt1023Characters) {
  const std::string fits_crlf = std::string(1022, 'a') + "\r\n";
  EXPECT_EQ(pieces_of(fits_crlf), std::vector<std::string>{fits_crlf});
  const std::string fits_lf = std::string(1022, 'a') + "\n";
  EXPECT_EQ(pieces_of(fits_lf), std::vector<std::string>{fits_lf});

  const std::string full(1023, 'b');
  EXPECT_EQ(pieces_of(full + "\n"), (std::vector<std::string>{full, "\n"}));
  EXPECT_EQ(pieces_of(full + "\r\n"), (std::vector<std::string>{full, "\r\n"}));
  EXPECT_EQ(pieces_of(full + "cc\n"), (std::vector<std::string>{full, "cc\n"}));

  // A lone CR is one character like any other.
  const std::string lone_cr = std::string(1022, 'd') + "\r";
  EXPECT_EQ(pieces_of(lone_cr + "x\n"), (std::vector<std::string>{lone_cr, "x\n"}));
}

TEST(LineReader, CutsGeneratedFilesAsTheByteByByteRuleDoes) {
  // Files larger than the read buffer, with lines around the piece length,
  // so that pieces straddle the buffer's refills in every way.
  std::mt19937_64 random(1023);
  const std::string alphabet = "\r\n\r\n4 .0-\x1A";
  for (int file = 0; file < 40; ++file) {
    std::string content;
    const std::size_t size = 100'000 + random() % 700'000;
    while (content.size() < size) {
      const std::size_t length = random() % 3 == 0 ? 1020 + random() % 8 : random() % 3000;
      for (std::size_t i = 0; i < length; ++i) {
        content += random() % 16 == 0 ? alphabet[random() % alphabet.size()] : 'a';
      }
      content += random() % 2 == 0 ? "\r\n" : "\n";
    }
    if (random() % 2 == 0) content += std::string(1 + random() % 2000, 'z');
    const std::vector<std::string_view> expected = testing::pieces_by_rule(content);
    ASSERT_EQ(pieces_of(content), std::vector<std::string>(expected.begin(), expected.end()))
        << "file " << file;
  }
}

TEST(LineReader, ReportsAFailedRead) {
  const testing::ScratchFolder folder;
  std::FILE* write_only = testing::unreadable_stream(folder);
  ASSERT_NE(write_only, nullptr);
  LineReader reader(write_only);
  std::string_view piece;
  EXPECT_FALSE(reader.next(piece));
  EXPECT_TRUE(reader.failed());
  std::fclose(write_only);
}

}  // namespace
}  // namespace skewquad
