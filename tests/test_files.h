#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace skewquad::testing {

// An anonymous temporary file holding `content`, positioned at its start.
std::FILE* file_holding(std::string_view content);

// Everything in `file` from its start.
std::string contents_of(std::FILE* file);

// The pieces of a file by the reading rule, written out byte by byte: a
// piece ends after a line feed or at 1023 characters, CR LF counting as one.
std::vector<std::string_view> pieces_by_rule(std::string_view content);

}  // namespace skewquad::testing
