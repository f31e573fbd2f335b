// The console and command line on POSIX systems: bytes as they are.
#include "platform/console.h"

#include <cerrno>
#include <poll.h>

#include <unistd.h>

namespace skewquad::platform {

void prepare_standard_streams() {}

std::vector<std::string> command_line(int argc, char** argv) { return {argv, argv + argc}; }

bool write_text(std::FILE* stream, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

long read_standard_input(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t count = read(STDIN_FILENO, buffer, size);
    if (count >= 0 || errno != EINTR) return static_cast<long>(count);
  }
}

bool standard_input_waiting() {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  return poll(&input, 1, 0) > 0;
}

bool is_terminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

}  // namespace skewquad::platform
