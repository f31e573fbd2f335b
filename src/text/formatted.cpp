// Messages as printf writes them.
#include "text/formatted.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace skewquad {

std::string formatted(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  char text[1200];
  const int size = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return {text, static_cast<std::size_t>(std::clamp<int>(size, 0, sizeof text - 1))};
}

}  // namespace skewquad
