// The console as each operating system has it.
#pragma once

#include <cstdio>

namespace skewquad::platform {

/// True when `stream` goes to a terminal.
bool is_terminal(std::FILE* stream);

}  // namespace skewquad::platform
