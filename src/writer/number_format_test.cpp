// The general conversion against the C library's printf.
#include "writer/number_format.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include <gtest/gtest.h>

namespace skewquad {
namespace {

std::string general(double value, int precision) {
  std::string text;
  append_general(text, value, precision);
  return text;
}

// The C library's printf is the reference the written numbers must match.
std::string printed(double value, int precision) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", precision, value);
  return text;
}

TEST(AppendGeneral, WritesLikePrintfG) {
  EXPECT_EQ(general(60.000001515, 4), "60");
  EXPECT_EQ(general(-10.123456789, 7), "-10.12346");
  EXPECT_EQ(general(0.00001, 7), "1e-05");
  EXPECT_EQ(general(12345678, 7), "1.234568e+07");
  EXPECT_EQ(general(-0.0, 7), "-0");
  EXPECT_EQ(general(std::numeric_limits<double>::infinity(), 7), "inf");
  EXPECT_EQ(general(1234567.5, 7), printed(1234567.5, 7));  // an exact tie
  EXPECT_EQ(general(0.3, 4), "0.3");
}

TEST(AppendGeneral, MatchesPrintfOnGeneratedValues) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> coordinate(-1000, 1000);
  std::uniform_int_distribution<int> scale(-30, 30);
  for (int i = 0; i < 200000; ++i) {
    double value = coordinate(random);
    if (i % 3 == 0) value = std::ldexp(value, scale(random));
    if (i % 5 == 0) value = std::bit_cast<double>(random());
    // Exact halves at the seventh digit, where rounding rules show.
    if (i % 7 == 0) value = std::trunc(value * 1000) + 0.5;
    for (int precision : {4, 7}) {
      // C libraries spell a NaN each their own way; the tool never reads one.
      if (std::isnan(value)) {
        ASSERT_EQ(general(value, precision), std::signbit(value) ? "-nan" : "nan");
        continue;
      }
      ASSERT_EQ(general(value, precision), printed(value, precision)) << value;
    }
  }
}

TEST(AppendGeneral, MatchesPrintfOnShortDecimals) {
  // Values read from parts: decimals of a few digits, written back.
  std::mt19937_64 random(8);
  for (int i = 0; i < 300000; ++i) {
    const auto digits = static_cast<double>(random() % 100'000'000);
    const double value = (random() % 2 == 0 ? -1 : 1) * digits / std::pow(10.0, random() % 13);
    for (int precision : {4, 7}) {
      ASSERT_EQ(general(value, precision), printed(value, precision)) << value;
    }
  }
  EXPECT_EQ(general(0.0001, 7), "0.0001");
  EXPECT_EQ(general(-12.5752, 7), "-12.5752");
  EXPECT_EQ(general(9999999, 7), "9999999");
  EXPECT_EQ(general(0.00012345, 4), "0.0001234");
}

}  // namespace
}  // namespace skewquad
