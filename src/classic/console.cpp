// The classic console: buffering by where standard output goes, and the pause.
#include "classic/console.h"

#include <cstdio>

#include "platform/console.h"

namespace skewquad {

void prepare_console() {
  if (platform::is_terminal(stdout)) std::setvbuf(stdout, nullptr, _IONBF, 0);
}

void wait_for_enter() {
  std::fflush(stdout);
  std::getchar();
}

}  // namespace skewquad
