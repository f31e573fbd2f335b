// Plain decimals packed and valued against the scanf-compatible reader.
#include "text/plain_decimal.h"

#include <bit>
#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

double scanned(const std::string& text) {
  double value = 0.0;
  EXPECT_NE(scan_double(text, value), nullptr) << text;
  return value;
}

// A plain decimal of every shape: sign or none, one to eight characters,
// the point anywhere or nowhere.
std::string random_plain_decimal(std::mt19937_64& random) {
  std::string text = random() % 2 == 0 ? "-" : "";
  const std::size_t length = 1 + random() % 8;
  const std::size_t point = random() % 3 == 0 ? length : random() % length;
  for (std::size_t i = 0; i < length; ++i) {
    text += i == point ? '.' : static_cast<char>('0' + random() % 10);
  }
  return text == "." || text == "-." ? text + "0" : text;
}

// White space after the number, then what would most easily be mistaken
// for more of it.
PlainDecimal plain_decimal_of(const std::string& text, const std::string& after = " 99999999") {
  const std::string line = "4 " + text + after;
  const std::uint8_t start = 2;
  PlainDecimal number;
  plain_decimals_at(line.data(), &start, 1, &number);
  return number;
}

TEST(PlainDecimals, AreValuedExactlyAsTheScannerReadsThem) {
  std::mt19937_64 random(8);
  for (int i = 0; i < 30000; ++i) {
    // Valued together, as a quad's coordinates are, in runs of any length.
    const int count = 1 + static_cast<int>(random() % 13);
    std::string texts[13];
    PlainDecimal numbers[13];
    for (int n = 0; n < count; ++n) {
      texts[n] = random_plain_decimal(random);
      numbers[n] = plain_decimal_of(texts[n]);
    }
    double values[13];
    values_of(numbers, count, values);
    for (int n = 0; n < count; ++n) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(values[n]),
                std::bit_cast<std::uint64_t>(scanned(texts[n])))
          << texts[n];
    }
  }
}

TEST(PlainDecimals, DoNotDependOnWhatFollowsTheirEnd) {
  std::mt19937_64 random(10);
  for (int i = 0; i < 30000; ++i) {
    const std::string text = random_plain_decimal(random);
    // Bytes with the top bit set carry when summed with others: they must
    // not reach back into the number.
    for (const char* after :
         {"\t\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", "\r\n\r\n\r\n\r\n\r\n", " -.-.-.-.-"}) {
      ASSERT_EQ(plain_decimal_of(text, after), plain_decimal_of(text)) << text;
    }
  }
}

TEST(PlainDecimals, HaveEqualWordsOnlyForEqualValues) {
  EXPECT_EQ(plain_decimal_of("5"), plain_decimal_of("05"));
  EXPECT_EQ(plain_decimal_of("-12.5"), plain_decimal_of("-012.5"));
  EXPECT_NE(plain_decimal_of("5"), plain_decimal_of("-5"));
  EXPECT_NE(plain_decimal_of("0"), plain_decimal_of("-0"));
  EXPECT_NE(plain_decimal_of("1.5"), plain_decimal_of("15"));
  std::mt19937_64 random(9);
  for (int i = 0; i < 300000; ++i) {
    // Short numbers, so that equal words turn up often.
    const std::string a = random_plain_decimal(random).substr(0, 3);
    const std::string b = random_plain_decimal(random).substr(0, 3);
    if (a == "-" || b == "-" || a == "-." || b == "-." || a == "." || b == ".") continue;
    if (plain_decimal_of(a) == plain_decimal_of(b)) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(scanned(a)), std::bit_cast<std::uint64_t>(scanned(b)))
          << a << " and " << b;
    }
  }
}

TEST(ReadDigitsWord, ReadsOnlyDigitsFollowedByWhiteSpace) {
  const auto read = [](const std::string& text) -> std::optional<std::int32_t> {
    const std::string padded = text + std::string(16, '\0');
    std::int32_t value = -1;
    if (!read_digits_word(padded.data(), value)) {
      EXPECT_EQ(value, -1) << text;
      return std::nullopt;
    }
    return value;
  };
  EXPECT_EQ(read("4 16"), 4);
  EXPECT_EQ(read("16\t0"), 16);
  EXPECT_EQ(read("0016\r\n"), 16);
  EXPECT_EQ(read("99999999 "), 99999999);
  for (const char* refused :
       {"123456789 ", "4x ", "-4 ", "+4 ", "4", " 4 ", "0x2FF0029 ", "4.5 "}) {
    EXPECT_EQ(read(refused), std::nullopt) << refused;
  }
}

}  // namespace
}  // namespace skewquad
