// The console and the command line as each operating system has them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace skewquad::platform {

/// Standard output and error write bytes as they are, on every system (no
/// line feed becomes CR LF), so that the console bytes are the same
/// everywhere.
void prepare_standard_streams();

/// The command line's arguments as the tool holds names: on Windows UTF-8
/// from the wide command line, so that any Unicode name works; elsewhere
/// the bytes given.
std::vector<std::string> command_line(int argc, char** argv);

/// Writes UTF-8 text to `stream`: as bytes into a file or a pipe, and on
/// Windows as Unicode to a console, whatever its code page. False when not
/// all of it was written.
bool write_text(std::FILE* stream, std::string_view text);

/// Reads up to `size` bytes of standard input as they come (it does not
/// wait for more once some are there): the count read, 0 at its end, -1
/// on an error.
long read_standard_input(char* buffer, std::size_t size);

/// True when standard input has bytes that can be read at once, or its end.
bool standard_input_waiting();

/// True when `stream` goes to a terminal.
bool is_terminal(std::FILE* stream);

}  // namespace skewquad::platform
