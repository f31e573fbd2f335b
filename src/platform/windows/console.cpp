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
  _setmode(_fileno(stdin), _O_BINARY);
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

bool write_text(std::FILE* stream, std::string_view text) {
  const HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (!GetConsoleMode(console, &mode)) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  }
  // What the stream holds goes first, so that the order stays.
  if (std::fflush(stream) != 0) return false;
  const std::wstring wide_text = wide(std::string(text));
  DWORD written = 0;
  return WriteConsoleW(console, wide_text.data(), static_cast<DWORD>(wide_text.size()), &written,
                       nullptr) != 0 &&
         written == wide_text.size();
}

long read_standard_input(char* buffer, std::size_t size) {
  return _read(_fileno(stdin), buffer, static_cast<unsigned>(size));
}

bool standard_input_waiting() {
  // Only a pipe tells what waits in it; whatever else standard input is (a
  // file, a console, a socket), or when it cannot tell, nothing is taken to
  // wait: a check too many costs milliseconds, one put off for ever costs
  // the editor every diagnostic.
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (GetFileType(input) != FILE_TYPE_PIPE) return false;
  DWORD available = 0;
  return PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr) != 0 && available > 0;
}

bool is_terminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

}  // namespace skewquad::platform
