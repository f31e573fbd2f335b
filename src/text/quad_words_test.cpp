// The word locator against a word-by-word reading of generated lines.
#include "text/quad_words.h"

#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text/line_words.h"

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

struct SplitLine {
  std::vector<int> starts;
  std::vector<std::string_view> words;
};

SplitLine split_at_white_space(std::string_view line) {
  SplitLine split;
  for (std::size_t i = 0; i < line.size();) {
    if (is_white_space(line[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < line.size() && !is_white_space(line[end])) ++end;
    split.starts.push_back(static_cast<int>(i));
    split.words.push_back(line.substr(i, end - i));
    i = end;
  }
  return split;
}

// What the located words must be: the starts of the first fourteen words,
// when the line is short enough and every word from the third on is plain.
std::optional<std::vector<int>> reference_words(std::string_view line) {
  if (line.size() >= kQuadWordWindow) return std::nullopt;
  auto [starts, words] = split_at_white_space(line);
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
  if (locate_quad_words(std::string_view(buffer.data(), line.size()), words) == 0) {
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

// What locate_tidy_words must answer: the count of words, when the line is
// short enough and the numbers are plain and, as their forms are read word
// by word, tidy; 0 otherwise.
int reference_tidy_count(std::string_view line, int numbers_end) {
  if (line.size() >= kQuadWordWindow) return 0;
  const SplitLine split = split_at_white_space(line);
  const auto count = static_cast<int>(split.words.size());
  if (count < numbers_end) return 0;
  for (int word = 2; word < numbers_end; ++word) {
    const std::string_view number = split.words[static_cast<std::size_t>(word)];
    const NumberForm form = number_form(number);
    if (!is_plain(number) || form.trailing_zero || form.leading_zero || form.fraction_digits >= 6) {
      return 0;
    }
  }
  return count;
}

int located_tidy_count(std::string_view line, int numbers_end) {
  // Numbers past the line's end that are untidy every way.
  std::string buffer(line);
  while (buffer.size() < line.size() + kQuadLinePadding) buffer += "00.1234560 ";
  QuadWords words;
  return locate_tidy_words(std::string_view(buffer.data(), line.size()), numbers_end, words);
}

TEST(LocateTidyWords, AgreesWithTheFormsOfNumbersReadWordByWord) {
  std::mt19937_64 random(20);
  int located = 0;
  for (int i = 0; i < 200000; ++i) {
    // Lines of 2 to 16 words, and the range of numbers of each line type:
    // a line (8), a triangle (11), a quad or a sub-file before its name (14).
    std::string line = std::to_string(1 + random() % 5) + " 16";
    const int words = static_cast<int>(random() % 15);
    for (int word = 0; word < words; ++word) line += " " + random_word(random);
    if (random() % 4 == 0) line += " name.dat";
    line += random() % 2 == 0 ? "\r\n" : "\n";
    const int numbers_end = std::vector<int>{8, 11, 14}[random() % 3];
    const int expected = reference_tidy_count(line, numbers_end);
    ASSERT_EQ(located_tidy_count(line, numbers_end), expected) << numbers_end << ": " << line;
    located += expected != 0 ? 1 : 0;
  }
  EXPECT_GT(located, 10000);
  EXPECT_LT(located, 190000);
}

TEST(LocateTidyWords, FindsEachUntidyFormAtItsEdge) {
  const auto tidy = [](const std::string& number) {
    return located_tidy_count("2 24 " + number + " 0 0 1 1 1\n", 8) == 8;
  };
  for (const char* number : {"0.5", "-0.5", ".5", "-.5", "10", "100", "5.", "0", "-0", "1.12345",
                             "-1.12345", ".12345"}) {
    EXPECT_TRUE(tidy(number)) << number;
  }
  for (const char* number :
       {"1.0", ".50", "1.50", "01.5", "-05", "00", "1.123456", "-.123456", "0.000001"}) {
    EXPECT_FALSE(tidy(number)) << number;
  }
}

}  // namespace
}  // namespace skewquad
