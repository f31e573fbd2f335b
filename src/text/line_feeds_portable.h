// Portable kernel: the first line feed of a piece, by the C library.
// Included by line_feeds.h only.
#pragma once

#include <cstring>

namespace skewquad {

// The first line feed at or after `p` and before `limit`, or `limit`, by the
// C library's memchr, which is vectorised wherever the target has vectors.
inline const char* find_line_feed(const char* p, const char* limit) {
  const void* found = std::memchr(p, '\n', static_cast<std::size_t>(limit - p));
  return found != nullptr ? static_cast<const char*>(found) : limit;
}

}  // namespace skewquad
