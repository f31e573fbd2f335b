// The length of a text in UTF-16 code units, as the editor's protocol and
// SARIF count columns.
#pragma once

#include <cstddef>
#include <string_view>

namespace skewquad {

/// The length of `text` in UTF-16 code units: a character of four UTF-8
/// bytes counts two, any other one, and a byte that is not part of a whole
/// UTF-8 character counts one.
std::size_t utf16_length(std::string_view text);

}  // namespace skewquad
