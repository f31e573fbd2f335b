#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace skewquad::testing {

// An anonymous temporary file holding `content`, positioned at its start.
std::FILE* file_holding(std::string_view content);

// Everything in `file` from its start.
std::string contents_of(std::FILE* file);

}  // namespace skewquad::testing
