// The console on POSIX systems.
#include "platform/console.h"

#include <unistd.h>

namespace skewquad::platform {

bool is_terminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

}  // namespace skewquad::platform
