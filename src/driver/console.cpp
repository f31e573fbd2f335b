// The console: buffering by where standard output goes, and the pause.
#include "driver/console.h"

#include <cstdio>

#include "platform/console.h"

namespace skewquad {

void prepare_console() {
  platform::prepare_standard_streams();
  if (platform::is_terminal(stdout)) std::setvbuf(stdout, nullptr, _IONBF, 0);
}

std::vector<std::string> command_line(int argc, char** argv) {
  return platform::command_line(argc, argv);
}

void wait_for_enter() {
  std::fflush(stdout);
  std::getchar();
}

}  // namespace skewquad
