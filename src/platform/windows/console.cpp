// The console and command line on Windows: binary standard streams, and the
// arguments from the wide command line as UTF-8.
#include "platform/console.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "platform/windows/wide_text.h"

namespace skewquad::platform {

void prepare_standard_streams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

std::vector<std::string> command_line(int argc, char** argv) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return {argv, argv + argc};
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) result.push_back(narrow(arguments[i]));
  LocalFree(arguments);
  return result;
}

bool is_terminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

}  // namespace skewquad::platform
