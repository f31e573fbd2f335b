// A message made from its text and values, as printf writes them.
#pragma once

#include <string>

namespace skewquad {

/// `format` with its values, as printf writes them; cut at 1,199 bytes.
[[gnu::format(printf, 1, 2)]] std::string formatted(const char* format, ...);

}  // namespace skewquad
