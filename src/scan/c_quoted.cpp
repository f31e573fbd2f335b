// Quoting as C quotes a string.
#include "scan/c_quoted.h"

#include <cstdio>

namespace skewquad {

std::string c_quoted(std::string_view text, bool octal_beyond_ascii) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\a':
        quoted += "\\a";
        break;
      case '\b':
        quoted += "\\b";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\v':
        quoted += "\\v";
        break;
      case '\f':
        quoted += "\\f";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F || (octal_beyond_ascii && byte >= 0x80)) {
          char octal[8];
          std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned>(byte));
          quoted += octal;
        } else {
          quoted += c;
        }
    }
  }
  quoted += '"';
  return quoted;
}

}  // namespace skewquad
