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

// Whether any of the eight bytes at `p` is a quote, a backslash or below
// 0x20: the zero-byte test of Hacker's Delight (6-1), on each byte's
// difference from the byte looked for, and the same carry for "less than".
bool has_special_byte(const char* p) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  std::uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  const auto zero_byte = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
  const std::uint64_t quote = zero_byte(word ^ (kOnes * '"'));
  const std::uint64_t backslash = zero_byte(word ^ (kOnes * '\\'));
  const std::uint64_t control = (word - kOnes * 0x20) & ~word & kHighs;
  return (quote | backslash | control) != 0;
}

// Writes `code` as UTF-8 at `out` and counts it in `size`; returns the end
// of what it wrote (nothing is written with `out` null, only counted).
char* put_utf8(char* out, std::size_t& size, std::uint32_t code) {
  char bytes[4];
  std::size_t count = 0;
  if (code < 0x80) {
    bytes[count++] = static_cast<char>(code);
  } else if (code < 0x800) {
    bytes[count++] = static_cast<char>(0xC0 | (code >> 6));
    bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    bytes[count++] = static_cast<char>(0xE0 | (code >> 12));
    bytes[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    bytes[count++] = static_cast<char>(0xF0 | (code >> 18));
    bytes[count++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    bytes[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
  }
  size += count;
  if (out == nullptr) return nullptr;
  std::memcpy(out, bytes, count);
  return out + count;
}

// Decodes the JSON string whose opening quote is at `open` to `out` (room
// for as many bytes as the string's raw text, or null to count them only),
// adding the decoded bytes to `size`; the position of its closing quote,
// or npos when it is not well formed.
std::size_t decode_string(std::string_view body, std::size_t open, char* out, std::size_t& size) {
  std::size_t at = open + 1;
  for (;;) {
    // Runs without a quote, a backslash or a control character are copied
    // whole, found eight bytes at a time.
    std::size_t run = at;
    while (run + 8 <= body.size() && !has_special_byte(body.data() + run)) run += 8;
    while (run < body.size() && body[run] != '"' && body[run] != '\\' &&
           static_cast<unsigned char>(body[run]) >= 0x20) {
      ++run;
    }
    size += run - at;
    if (out != nullptr) {
      std::memcpy(out, body.data() + at, run - at);
      out += run - at;
    }
    if (run >= body.size() || static_cast<unsigned char>(body[run]) < 0x20) {
      return std::string_view::npos;
    }
    if (body[run] == '"') return run;
    if (run + 1 >= body.size()) return std::string_view::npos;
    const char escaped = body[run + 1];
    at = run + 2;
    std::uint32_t code = 0;
    switch (escaped) {
      case '"':
      case '\\':
      case '/':
        code = static_cast<unsigned char>(escaped);
        break;
      case 'b':
        code = '\b';
        break;
      case 'f':
        code = '\f';
        break;
      case 'n':
        code = '\n';
        break;
      case 'r':
        code = '\r';
        break;
      case 't':
        code = '\t';
        break;
      case 'u': {
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
        break;
      }
      default:
        return std::string_view::npos;
    }
    out = put_utf8(out, size, code);
  }
}

// The offset of the last `"text":` of `body`, or npos. Found from each ':'
// back, which a document's text has few of: a search for the whole name
// from the end compares at every byte of the text.
std::size_t last_text_member(std::string_view body) {
  constexpr std::string_view kName = "\"text\"";
  for (std::size_t end = body.size(); end > 0;) {
    const std::size_t at = body.rfind(':', end - 1);
    if (at == std::string_view::npos) return std::string_view::npos;
    std::size_t name_end = at;
    while (name_end > 0 && (body[name_end - 1] == ' ' || body[name_end - 1] == '\t' ||
                            body[name_end - 1] == '\r' || body[name_end - 1] == '\n')) {
      --name_end;
    }
    if (name_end >= kName.size() && body.substr(name_end - kName.size(), kName.size()) == kName) {
      return name_end - kName.size();
    }
    end = at;
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<TakenText> take_text(std::string& body, std::size_t most_bytes) {
  const std::size_t name = last_text_member(body);
  if (name == std::string::npos) return std::nullopt;
  std::size_t open = body.find(':', name) + 1;
  while (open < body.size() &&
         (body[open] == ' ' || body[open] == '\t' || body[open] == '\r' || body[open] == '\n')) {
    ++open;
  }
  if (open >= body.size() || body[open] != '"') return std::nullopt;
  // Decoded, a text is no longer than its raw form: one whose raw form may
  // be too long is counted first, so that a text too large is never held.
  std::size_t size = 0;
  std::size_t close = std::string::npos;
  TakenText taken;
  if (body.size() - open > most_bytes) {
    close = decode_string(body, open, nullptr, size);
    taken.too_large = size > most_bytes;
  }
  if (!taken.too_large) {
    taken.text.resize(size > 0 ? size : body.size() - open);
    size = 0;
    close = decode_string(body, open, taken.text.data(), size);
    taken.text.resize(close == std::string_view::npos ? 0 : size);
  }
  if (close == std::string_view::npos) return std::nullopt;
  body.erase(open + 1, close - open - 1);
  return taken;
}

void replace_lone_surrogates(std::string& body) {
  const auto surrogate_at = [&body](std::size_t at, std::uint32_t low, std::uint32_t high) {
    std::uint32_t code = 0;
    return at + 1 < body.size() && body[at] == '\\' && body[at + 1] == 'u' &&
           read_hex4(body, at + 2, code) && code >= low && code < high;
  };
  for (std::size_t at = body.find('\\'); at != std::string::npos; at = body.find('\\', at)) {
    if (surrogate_at(at, 0xD800, 0xDC00) && surrogate_at(at + 6, 0xDC00, 0xE000)) {
      at += 12;
    } else if (surrogate_at(at, 0xD800, 0xE000)) {
      body.replace(at + 2, 4, "fffd");
      at += 6;
    } else {
      at += 2;  // any other escape, a backslash's own among them
    }
  }
}

}  // namespace skewquad::lsp
