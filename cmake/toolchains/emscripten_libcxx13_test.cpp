// The browser build's stand-ins for std::from_chars and std::to_chars on
// doubles: the values whose bits the tool depends on, the range ends, and
// a round trip of generated doubles through 17 significant digits, which
// gives back the very bits only when both directions round correctly.
// Built by the web preset and run under node.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

namespace {

int failures = 0;

void expect(bool ok, const std::string& what) {
  if (ok) return;
  std::printf("FAILED: %s\n", what.c_str());
  ++failures;
}

std::uint64_t bits_of(double value) { return std::bit_cast<std::uint64_t>(value); }

void expect_read(const char* text, std::uint64_t bits, std::size_t used) {
  double value = -1.0;
  const auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
  expect(error == std::errc{} && bits_of(value) == bits &&
             static_cast<std::size_t>(end - text) == used,
         std::string("read ") + text);
}

void expect_out_of_range(const char* text) {
  double value = 42.0;
  const auto result = std::from_chars(text, text + std::strlen(text), value);
  expect(result.ec == std::errc::result_out_of_range && value == 42.0,
         std::string("out of range, value kept: ") + text);
}

void expect_written(double value, int precision, const char* text) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  expect(result.ec == std::errc{} && std::string(buffer, result.ptr) == text,
         std::string("write ") + text);
}

}  // namespace

int main() {
  expect_read("0.1", 0x3FB999999999999AULL, 3);
  expect_read("-2.5", 0xC004000000000000ULL, 4);
  expect_read("123.456e-2 rest", bits_of(1.23456), 10);
  expect_read("1e", 0x3FF0000000000000ULL, 1);    // an exponent without digits is not read
  expect_read("4.9406564584124654e-324", 1, 23);  // the least denormal, in range
  expect_read("2.2250738585072011e-308", 0x000FFFFFFFFFFFFFULL, 23);  // the largest denormal
  expect_read("9007199254740993", 0x4340000000000000ULL, 16);         // a tie, to even
  expect_read("0.000", 0, 5);
  expect_out_of_range("1e400");
  expect_out_of_range("-1e400");
  expect_out_of_range("1e-400");
  double untouched = 7.0;
  for (const char* text : {"", "-", ".", "x1", "+1", " 1", "inf", "nan"}) {
    const auto result = std::from_chars(text, text + std::strlen(text), untouched);
    expect(result.ec == std::errc::invalid_argument && result.ptr == text && untouched == 7.0,
           std::string("refused: '") + text + "'");
  }

  expect_written(1234.56789, 7, "1234.568");
  expect_written(0.1, 17, "0.10000000000000001");
  expect_written(1e21, 7, "1e+21");
  expect_written(-0.0, 7, "-0");
  expect_written(0.0001, 7, "0.0001");
  expect_written(0.00001, 7, "1e-05");
  char tiny[3];
  expect(std::to_chars(tiny, tiny + sizeof tiny, 1234.5, std::chars_format::general, 7).ec ==
             std::errc::value_too_large,
         "too small a buffer is told");

  std::mt19937_64 random(20261208);
  for (int i = 0; i < 200000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (value != value || value - value != 0.0) continue;  // NaN and infinities
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    double read = 0.0;
    const auto [end, error] = std::from_chars(buffer, written.ptr, read);
    if (error != std::errc{} || end != written.ptr || bits_of(read) != bits_of(value)) {
      expect(false, "round trip of " + std::string(buffer, written.ptr));
      break;
    }
  }
  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
