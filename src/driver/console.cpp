// The console: buffering by where standard output goes, and the pause.
#include "driver/console.h"

#include <cstdio>

#include <unistd.h>

namespace skewquad {

void prepare_console() {
  if (isatty(fileno(stdout)) != 0) std::setvbuf(stdout, nullptr, _IONBF, 0);
}

void wait_for_enter() {
  std::fflush(stdout);
  std::getchar();
}

}  // namespace skewquad
