// Words of a line and the forms of numbers, at the edges of each rule.
#include "text/line_words.h"

#include <bit>
#include <cstdint>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

TEST(NumberForm, TellsDecimalsAndNeedlessZerosAsWritten) {
  struct Case {
    const char* word;
    int decimals;
    bool trailing;
    bool leading;
  };
  const Case cases[] = {
      {"0.12345", 5, false, false},
      {"0.123456", 6, false, false},
      {"0.5", 1, false, false},
      {"-0.5", 1, false, false},
      {"10", 0, false, false},
      {"100", 0, false, false},
      {"1.0", 1, true, false},
      {".50", 2, true, false},
      {"2.", 0, false, false},
      {"01.5", 1, false, true},
      {"-05", 0, false, true},
      {"0", 0, false, false},
      {"-0", 0, false, false},
      {"00", 0, false, true},
      // With an exponent, the mantissa's decimals count and zeros do not.
      {"-1.81726e-005", 5, false, false},
      {"2.848203e-016", 6, false, false},
      {"1.500E+02", 3, false, false},
  };
  for (const Case& c : cases) {
    const NumberForm form = number_form(c.word);
    EXPECT_TRUE(form.is_number) << c.word;
    EXPECT_EQ(form.fraction_digits, c.decimals) << c.word;
    EXPECT_EQ(form.trailing_zero, c.trailing) << c.word;
    EXPECT_EQ(form.leading_zero, c.leading) << c.word;
  }
  for (const char* word : {"", "-", ".", "1.2.3", "1e", "1e+", "0x10", "1,5", "inf", "1 "}) {
    EXPECT_FALSE(number_form(word).is_number) << word;
  }
  EXPECT_EQ(number_form("1.0").value, number_form("1").value);
}

TEST(NumberForm, ReadsEveryNumberAsTheGeneralReaderDoes) {
  // Short plain decimals take a quicker way than the rest: both must read
  // to the last bit what the general reader reads.
  std::mt19937_64 random(20);
  for (int i = 0; i < 200000; ++i) {
    std::string word = random() % 2 == 0 ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 18);
    const int point = static_cast<int>(random() % (digits + 1));
    for (int k = 0; k < digits; ++k) {
      if (k == point && k > 0) word += '.';
      word += static_cast<char>('0' + random() % 10);
    }
    if (random() % 8 == 0) word += "e-" + std::to_string(random() % 30);
    double expected = 0.0;
    scan_double(word, expected);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(number_form(word).value),
              std::bit_cast<std::uint64_t>(expected))
        << word;
  }
}

TEST(NumberForm, DropsNeedlessZerosKeepingTheValue) {
  char room[32];
  for (const auto& [word, plain] :
       {std::pair{"1.50", "1.5"}, std::pair{"2.0", "2"}, std::pair{"-05", "-5"},
        std::pair{"00.50", "0.5"}, std::pair{".50", ".5"}, std::pair{"-.0", "-0"},
        std::pair{"010.0100", "10.01"}, std::pair{"00", "0"}}) {
    const std::string_view mended = without_needless_zeros(word, room);
    EXPECT_EQ(mended, plain) << word;
    EXPECT_EQ(number_form(mended).value, number_form(word).value) << word;
    EXPECT_FALSE(number_form(mended).trailing_zero || number_form(mended).leading_zero) << word;
  }
}

TEST(SplitWords, KeepsASubFilesNameWholeAfterItsNumbers) {
  const LineWords words = split_words("1 16 0 0 0 1 0 0 0 1 0 0 0 1  s/sub part.dat\r\n", 14);
  EXPECT_EQ(words.count, 14);
  EXPECT_EQ(words.words[13], "1");
  EXPECT_EQ(words.rest, "s/sub part.dat\r\n");
  EXPECT_TRUE(is_direct_colour("0x2FF0000"));
  EXPECT_FALSE(is_direct_colour("0x"));
  EXPECT_FALSE(is_direct_colour("0x2FG"));
}

}  // namespace
}  // namespace skewquad
