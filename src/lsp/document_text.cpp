// Taking a document's text out of a message.
#include "lsp/document_text.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace skewquad::lsp {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool read_hex4(std::string_view text, std::size_t at, std::uint32_t& value) {
  if (at + 4 > text.size()) return false;
  value = 0;
  for (std::size_t i = at; i < at + 4; ++i) {
    const int digit = hex_value(text[i]);
    if (digit < 0) return false;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return true;
}

void append_utf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Decodes the JSON string whose opening quote is at `open`; the position of
// its closing quote, or npos when it is not well formed.
std::size_t decode_string(std::string_view body, std::size_t open, std::string& out) {
  std::size_t at = open + 1;
  for (;;) {
    // Runs without a quote or a backslash are copied whole.
    std::size_t run = at;
    while (run < body.size() && body[run] != '"' && body[run] != '\\' &&
           static_cast<unsigned char>(body[run]) >= 0x20) {
      ++run;
    }
    out.append(body.data() + at, run - at);
    if (run >= body.size() || static_cast<unsigned char>(body[run]) < 0x20) {
      return std::string_view::npos;
    }
    if (body[run] == '"') return run;
    if (run + 1 >= body.size()) return std::string_view::npos;
    const char escaped = body[run + 1];
    at = run + 2;
    switch (escaped) {
      case '"':
      case '\\':
      case '/':
        out += escaped;
        break;
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        std::uint32_t code = 0;
        if (!read_hex4(body, at, code)) return std::string_view::npos;
        at += 4;
        std::uint32_t low = 0;
        if (code >= 0xD800 && code < 0xDC00 && at + 1 < body.size() && body[at] == '\\' &&
            body[at + 1] == 'u' && read_hex4(body, at + 2, low) && low >= 0xDC00 && low < 0xE000) {
          code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          at += 6;
        } else if (code >= 0xD800 && code < 0xE000) {
          code = 0xFFFD;  // a lone surrogate, as the general parser would refuse
        }
        append_utf8(out, code);
        break;
      }
      default:
        return std::string_view::npos;
    }
  }
}

}  // namespace

std::optional<std::string> take_text(std::string& body) {
  constexpr std::string_view kName = "\"text\":";
  const std::size_t name = body.rfind(kName);
  if (name == std::string::npos) return std::nullopt;
  std::size_t open = name + kName.size();
  while (open < body.size() &&
         (body[open] == ' ' || body[open] == '\t' || body[open] == '\r' || body[open] == '\n')) {
    ++open;
  }
  if (open >= body.size() || body[open] != '"') return std::nullopt;
  std::string text;
  const std::size_t close = decode_string(body, open, text);
  if (close == std::string_view::npos) return std::nullopt;
  body.erase(open + 1, close - open - 1);
  return text;
}

}  // namespace skewquad::lsp
