// The word locator against a word-by-word reading of generated lines.
#include "text/quad_words.h"

#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace skewquad {
namespace {

bool is_white_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A plain decimal, character by character: an optional minus, then one to
// eight digits and points with one digit at least and one point at most.
bool is_plain(std::string_view word) {
  if (!word.empty() && word[0] == '-') word.remove_prefix(1);
  int digits = 0;
  int points = 0;
  for (char c : word) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return false;
    }
  }
  return word.size() <= 8 && digits >= 1 && points <= 1;
}

// What the located words must be: the starts of the first fourteen words,
// when the line is short enough and every word from the third on is plain.
std::optional<std::vector<int>> reference_words(std::string_view line) {
  if (line.size() >= kQuadWordWindow) return std::nullopt;
  std::vector<int> starts;
  std::vector<std::string_view> words;
  for (std::size_t i = 0; i < line.size();) {
    if (is_white_space(line[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < line.size() && !is_white_space(line[end])) ++end;
    starts.push_back(static_cast<int>(i));
    words.push_back(line.substr(i, end - i));
    i = end;
  }
  if (starts.size() < kQuadWords) return std::nullopt;
  for (std::size_t word = 2; word < words.size(); ++word) {
    if (!is_plain(words[word])) return std::nullopt;
  }
  starts.resize(kQuadWords);
  return starts;
}

std::optional<std::vector<int>> located_words(std::string_view line) {
  // The line sits in a buffer with room after it, filled with what would
  // most easily be mistaken for more of the line.
  std::string buffer(line);
  buffer.append(kQuadLinePadding, '7');
  QuadWords words;
  if (!locate_quad_words(std::string_view(buffer.data(), line.size()), words)) {
    return std::nullopt;
  }
  return std::vector<int>(words.start, words.start + kQuadWords);
}

std::string random_word(std::mt19937_64& random) {
  static const std::vector<std::string> odd = {"+1",
                                               "1e5",
                                               "1.2.3",
                                               "-",
                                               ".",
                                               "-.",
                                               "123456789",
                                               "-12345678",
                                               "-123456789",
                                               "1-2",
                                               "x",
                                               "0x2FF0029",
                                               std::string(1, '\0'),
                                               "\x01",
                                               "\xC3\xA9",
                                               "1,5",
                                               "..5",
                                               "5.",
                                               "-.5",
                                               "--1"};
  if (random() % 25 == 0) return odd[random() % odd.size()];
  std::string word;
  if (random() % 3 == 0) word += '-';
  const std::size_t length = 1 + random() % 8;
  const std::size_t point = random() % 2 == 0 ? random() % length : length;
  for (std::size_t i = 0; i < length; ++i) {
    word += i == point ? '.' : static_cast<char>('0' + random() % 10);
  }
  if (length == 1 && point == 0) word = "0";
  return word;
}

std::string random_quad_line(std::mt19937_64& random) {
  static const std::vector<std::string> gaps = {" ", " ", " ", " ", "  ", "\t", " \v", "\f", "\r"};
  std::string line = random() % 10 == 0 ? " 4" : "4";
  const int words = 11 + static_cast<int>(random() % 6);
  line += " 16";
  for (int word = 0; word < words; ++word)
    line += gaps[random() % gaps.size()] + random_word(random);
  if (random() % 4 != 0) line += random() % 2 == 0 ? "\r\n" : "\n";
  return line;
}

TEST(LocateQuadWords, AgreesWithAWordByWordReadingOnGeneratedLines) {
  std::mt19937_64 random(14);
  int located = 0;
  for (int i = 0; i < 200000; ++i) {
    const std::string line = random_quad_line(random);
    const auto expected = reference_words(line);
    ASSERT_EQ(located_words(line), expected) << line;
    located += expected.has_value() ? 1 : 0;
  }
  // Both outcomes are common enough to be tested.
  EXPECT_GT(located, 20000);
  EXPECT_LT(located, 180000);
}

TEST(LocateQuadWords, RefusesWhatTheWordByWordReaderMustSee) {
  const std::string plain = "4 16 -1 .5 2. 0 -12.5752 12345678 -123456.8 3 4 5 6 7\r\n";
  ASSERT_TRUE(located_words(plain).has_value());
  for (const char* line : {"4 16 -1 .5 2. 0 -12.5752 12345678 -123456.8 3 4 5 6\r\n",
                           "4 16 -1 .5 2. 0 -12.5752 123456789 -123456.8 3 4 5 6 7\r\n",
                           "4 16 -1 .5 2. 0 -12.5752 12345678 -123456.89 3 4 5 6 7\r\n",
                           "4 16 -1 .5 2. 0 -12.5752 12345678 -123456.8 3 4 5 6 7 +8\r\n",
                           "4 16 -1 .5 2. 0 -12.5752 12345678 -123456.8 3 4 5 6 1e7\r\n",
                           "4 16 -1 .5 2. 0 -12.5752 12345678 -123456.8 3 4 5 6 7.0.\r\n",
                           "4 16 -1 .5 2. 0 -12.5752 12345678 -123456.8 3 4 5 6 -\r\n",
                           "4 16 -1 .5 2. 0 -12.5752 12345678 -123456.8 3 4 5 6 7-\r\n"}) {
    EXPECT_FALSE(located_words(line).has_value()) << line;
  }
  // The longest line located is one byte shorter than the window.
  std::string longest = "4 16 1 2 3 4 5 6 7 8 9 10 11 12";
  longest.resize(kQuadWordWindow - 1, ' ');
  EXPECT_TRUE(located_words(longest).has_value());
  EXPECT_FALSE(located_words(longest + " ").has_value());
}

}  // namespace
}  // namespace skewquad
