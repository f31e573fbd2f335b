// The scanf-compatible readers against strtod and byte-by-byte references.
#include "text/scanf_numbers.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace skewquad {
namespace {

struct IntScan {
  bool found;
  std::int32_t value;
  std::size_t used;
};

IntScan scan_int_of(std::string_view text) {
  std::int32_t value = -12345;
  const char* stop = scan_int(text, value);
  return {stop != nullptr, value, stop ? static_cast<std::size_t>(stop - text.data()) : 0};
}

struct DoubleScan {
  bool found;
  double value;
  std::size_t used;
};

DoubleScan scan_double_of(std::string_view text) {
  double value = -12345.0;
  const char* stop = scan_double(text, value);
  return {stop != nullptr, value, stop ? static_cast<std::size_t>(stop - text.data()) : 0};
}

TEST(ScanInt, ReadsSignedDecimalsAfterAnyWhiteSpace) {
  EXPECT_EQ(scan_int_of("42").value, 42);
  EXPECT_EQ(scan_int_of(" \t\n\v\f\r-7 x").value, -7);
  EXPECT_EQ(scan_int_of(" \t\n\v\f\r-7 x").used, 8u);
  EXPECT_EQ(scan_int_of("+4").value, 4);
  EXPECT_EQ(scan_int_of("04").value, 4);
  EXPECT_EQ(scan_int_of("4.5").value, 4);
  EXPECT_EQ(scan_int_of("4.5").used, 1u);
  EXPECT_EQ(scan_int_of("1-2").used, 1u);
}

TEST(ScanInt, WrapsAroundInThirtyTwoBits) {
  EXPECT_EQ(scan_int_of("4294967300").value, 4);  // 2^32 + 4
  EXPECT_EQ(scan_int_of("2147483648").value, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(scan_int_of("-2147483649").value, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(scan_int_of("-0").value, 0);
}

TEST(ScanInt, FindsNoNumberAndLeavesTheTargetAlone) {
  const std::string byte_order_mark = "\xEF\xBB\xBF";
  const std::string nul_then_digit = std::string(1, '\0') + "4";
  const std::string texts[] = {
      "", "   ", "-", "+", "- 4", "x4", ".5", nul_then_digit, byte_order_mark + "4"};
  for (const std::string& text : texts) {
    const IntScan scan = scan_int_of(text);
    EXPECT_FALSE(scan.found) << text;
    EXPECT_EQ(scan.value, -12345) << text;
  }
}

TEST(ScanInt, StopsAtTheEndOfItsText) {
  const std::string line = "4 123456";
  std::int32_t value = 0;
  scan_int(line.data(), line.data() + 5, value);  // "4 123" of a longer line
  EXPECT_EQ(value, 4);
  const char* stop = scan_int(line.data() + 1, line.data() + 5, value);
  EXPECT_EQ(value, 123);
  EXPECT_EQ(stop, line.data() + 5);
}

TEST(ScanInt, MatchesAReferenceOnGeneratedIntegersWhateverFollows) {
  std::mt19937_64 random(32);
  for (int i = 0; i < 100000; ++i) {
    std::string text = i % 3 == 0 ? "-" : i % 7 == 0 ? "+" : "";
    const int digits = 1 + static_cast<int>(random() % 12);
    for (int k = 0; k < digits; ++k) text += static_cast<char>('0' + random() % 10);
    // strtoull reads the magnitude exactly; "%d" keeps it modulo 2^32.
    const std::uint64_t magnitude =
        std::strtoull(text.c_str() + (text[0] == '-' || text[0] == '+' ? 1 : 0), nullptr, 10);
    const auto low_bits = static_cast<std::uint32_t>(magnitude);
    const auto expected = static_cast<std::int32_t>(text[0] == '-' ? 0u - low_bits : low_bits);
    for (const char* after : {"", " 16 0 0 0 1", "\r\n", ".5 0 0 0 0 0 0", "x"}) {
      const IntScan scan = scan_int_of(text + after);
      ASSERT_TRUE(scan.found) << text;
      ASSERT_EQ(scan.value, expected) << text << after;
      ASSERT_EQ(scan.used, text.size()) << text << after;
    }
  }
}

TEST(ScanDouble, ReadsEveryDecimalForm) {
  EXPECT_EQ(scan_double_of("5").value, 5.0);
  EXPECT_EQ(scan_double_of("5.").value, 5.0);
  EXPECT_EQ(scan_double_of("5.").used, 2u);
  EXPECT_EQ(scan_double_of(".5").value, 0.5);
  EXPECT_EQ(scan_double_of("-.25").value, -0.25);
  EXPECT_EQ(scan_double_of("+12.5752").value, 12.5752);
  EXPECT_EQ(scan_double_of("1e-3").value, 1e-3);
  EXPECT_EQ(scan_double_of("1E+3").value, 1000.0);
  EXPECT_EQ(scan_double_of("5.e3").value, 5000.0);
  EXPECT_EQ(scan_double_of("\r\n\t 7").value, 7.0);
  EXPECT_TRUE(std::signbit(scan_double_of("-0").value));
  EXPECT_TRUE(std::signbit(scan_double_of("-0.000").value));
}

TEST(ScanDouble, EndsWhereTheNextCharacterCannotContinue) {
  EXPECT_EQ(scan_double_of("1-2").used, 1u);
  EXPECT_EQ(scan_double_of("1,5").used, 1u);
  EXPECT_EQ(scan_double_of("1.5.5").used, 3u);
  // An e without digits is not part of the number.
  EXPECT_EQ(scan_double_of("1e").value, 1.0);
  EXPECT_EQ(scan_double_of("1e").used, 1u);
  EXPECT_EQ(scan_double_of("1e+").used, 1u);
  EXPECT_EQ(scan_double_of("1e-x").used, 1u);
  EXPECT_EQ(scan_double_of("2E5x").used, 3u);
  // Hexadecimal is not a form: 0x1p3 reads as 0, stopping at the x.
  EXPECT_EQ(scan_double_of("0x1p3").value, 0.0);
  EXPECT_EQ(scan_double_of("0x1p3").used, 1u);
}

TEST(ScanDouble, FindsNoNumberAndLeavesTheTargetAlone) {
  for (const char* text :
       {"", " ", ".", "-", "+", "-.", "+.e5", "e5", "inf", "nan", "infinity", "NAN", ",5"}) {
    const DoubleScan scan = scan_double_of(text);
    EXPECT_FALSE(scan.found) << text;
    EXPECT_EQ(scan.value, -12345.0) << text;
  }
}

TEST(ScanDouble, GoesToInfinityOrZeroBeyondTheRange) {
  EXPECT_EQ(scan_double_of("1e999").value, std::numeric_limits<double>::infinity());
  EXPECT_EQ(scan_double_of("-1e999").value, -std::numeric_limits<double>::infinity());
  EXPECT_EQ(scan_double_of("0.001e312").value, std::numeric_limits<double>::infinity());
  EXPECT_EQ(scan_double_of("1e99999999999999999999999").value,
            std::numeric_limits<double>::infinity());
  EXPECT_EQ(scan_double_of(std::string(400, '9')).value, std::numeric_limits<double>::infinity());
  EXPECT_EQ(scan_double_of("1e-999").value, 0.0);
  EXPECT_EQ(scan_double_of("12345e-340").value, 0.0);
  EXPECT_TRUE(std::signbit(scan_double_of("-1e-999").value));
  EXPECT_EQ(scan_double_of("0e99999").value, 0.0);
  EXPECT_EQ(scan_double_of("1e-320").value, 1e-320);  // subnormal, not zero
}

// The C library's strtod, in the C locale this test runs in, is a correctly
// rounded reference that shares no code with the scanner.
double reference_value(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

std::string random_decimal(std::mt19937_64& random) {
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> count(0, 24);
  std::string text;
  if (random() % 3 == 0) text += random() % 2 == 0 ? '-' : '+';
  const int leading_zeros = random() % 4 == 0 ? count(random) % 5 : 0;
  text.append(static_cast<std::size_t>(leading_zeros), '0');
  const int integer_digits = count(random);
  for (int i = 0; i < integer_digits; ++i) text += static_cast<char>('0' + digit(random));
  if (integer_digits + leading_zeros == 0 || random() % 2 == 0) {
    text += '.';
    const int fraction_digits = count(random);
    for (int i = 0; i < fraction_digits; ++i) text += static_cast<char>('0' + digit(random));
  }
  if (text.find_first_of("0123456789") == std::string::npos) text += '7';
  if (random() % 3 == 0) {
    text += random() % 2 == 0 ? 'e' : 'E';
    if (random() % 2 == 0) text += random() % 2 == 0 ? '-' : '+';
    const int limit = random() % 4 == 0 ? 400 : 30;
    text += std::to_string(std::uniform_int_distribution<int>(0, limit)(random));
  }
  return text;
}

// The reader takes a quicker path when a word's worth of text follows the
// number; every number is read alone and with each kind of text after it.
void expect_read_as_reference(const std::string& text) {
  const double expected = reference_value(text);
  for (const std::string& after :
       {std::string(), std::string(" 1 2 3 4 5 6 7 8 9"), std::string("\r\n\0\0\0\0\0\0\0\0\0", 11),
        std::string("-5.5e9x"), std::string(" .25 0")}) {
    const DoubleScan scan = scan_double_of(text + after);
    ASSERT_TRUE(scan.found) << text;
    ASSERT_EQ(scan.used, text.size()) << text << " followed by " << after;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(scan.value), std::bit_cast<std::uint64_t>(expected))
        << text;
  }
}

TEST(ScanDouble, MatchesACorrectlyRoundedReferenceOnGeneratedNumbers) {
  std::mt19937_64 random(20261207);
  for (int i = 0; i < 200000; ++i) {
    const std::string text = random_decimal(random);
    expect_read_as_reference(text);
    // Short numbers as coordinates are written: the first few characters.
    const std::size_t cut = text.find_last_of("0123456789", random() % 9);
    if (cut != std::string::npos) expect_read_as_reference(text.substr(0, cut + 1));
  }
}

TEST(ScanDouble, MatchesTheReferenceOnCoordinatesAsAuthorsWriteThem) {
  // Short numbers with a few decimals take the quick exact path; check it
  // over every value of that shape in a range.
  for (int hundredths = -200000; hundredths <= 200000; hundredths += 7) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%04d", hundredths / 100, std::abs(hundredths % 100) * 37);
    expect_read_as_reference(text);
  }
}

}  // namespace
}  // namespace skewquad
