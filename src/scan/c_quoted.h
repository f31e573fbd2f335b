// A text in double quotes with C's escapes, as reports write a path that
// holds what may not appear raw.
#pragma once

#include <string>
#include <string_view>

namespace skewquad {

/// `text` in double quotes, each quote and backslash escaped, the control
/// characters as C writes them (\n, \t, ... or three octal digits), and,
/// with `octal_beyond_ascii`, every byte from 0x80 on in octal too.
std::string c_quoted(std::string_view text, bool octal_beyond_ascii);

}  // namespace skewquad
