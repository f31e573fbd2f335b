// The console and command line on POSIX systems: bytes as they are.
#include "platform/console.h"

#include <unistd.h>

namespace skewquad::platform {

void prepare_standard_streams() {}

std::vector<std::string> command_line(int argc, char** argv) { return {argv, argv + argc}; }

bool write_text(std::FILE* stream, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

bool is_terminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

}  // namespace skewquad::platform
