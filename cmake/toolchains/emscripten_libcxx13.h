// What the libc++ 13 of Debian's Emscripten lacks and the tool uses:
// std::bit_cast, std::make_unique_for_overwrite, and <charconv> for doubles. The C library (musl)
// reads and writes decimals correctly rounded, as the standard asks of from_chars and of to_chars
// with a precision, so both give the very bits and digits. Included before every file of the
// browser's build.
#pragma once

#include <bit>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>

#ifdef __cplusplus
namespace std {

#ifndef __cpp_lib_bit_cast
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
#endif

#ifndef __cpp_lib_smart_ptr_for_overwrite
template <class T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t size) {
  return unique_ptr<T>(new remove_extent_t<T>[size]);
}
#endif

// The decimal [first, last) as from_chars reads it in the general format:
// a sign '-' alone, digits, a point, an exponent; nothing else.
inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
  const char* end = first;
  if (end != last && *end == '-') ++end;
  bool nonzero = false;
  bool any = false;
  for (; end != last && ((*end >= '0' && *end <= '9') || *end == '.'); ++end) {
    if (*end != '.') any = true;
    if (*end >= '1' && *end <= '9') nonzero = true;
  }
  if (!any) return {first, errc::invalid_argument};
  if (end != last && (*end == 'e' || *end == 'E')) {
    const char* exponent = end + 1;
    if (exponent != last && (*exponent == '+' || *exponent == '-')) ++exponent;
    if (exponent != last && *exponent >= '0' && *exponent <= '9') {
      while (exponent != last && *exponent >= '0' && *exponent <= '9') ++exponent;
      end = exponent;
    }
  }
  char small[128];
  char* text = small;
  const auto length = static_cast<size_t>(end - first);
  if (length >= sizeof small) text = static_cast<char*>(malloc(length + 1));
  if (text == nullptr) return {first, errc::not_enough_memory};
  memcpy(text, first, length);
  text[length] = '\0';
  char* stop = nullptr;
  const double read = strtod(text, &stop);
  const auto used = static_cast<size_t>(stop - text);
  if (text != small) free(text);
  if (read == numeric_limits<double>::infinity() || read == -numeric_limits<double>::infinity() ||
      (read == 0.0 && nonzero)) {
    return {first + used, errc::result_out_of_range};
  }
  value = read;
  return {first + used, errc{}};
}

inline to_chars_result to_chars(char* first, char* last, double value, chars_format format,
                                int precision) {
  if (format != chars_format::general) return {last, errc::value_too_large};
  char text[400];
  const int length = snprintf(text, sizeof text, "%.*g", precision, value);
  if (length < 0 || length > last - first) return {last, errc::value_too_large};
  memcpy(first, text, static_cast<size_t>(length));
  return {first + length, errc{}};
}

}  // namespace std
#endif
