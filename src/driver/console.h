// The console: standard streams as every system writes them, immediate
// output on a terminal, the command line, and the pause before exit.
#pragma once

#include <string>
#include <vector>

namespace skewquad {

/// Bytes reach standard output and error as they are, on every system. On a
/// terminal every text shows as soon as it is printed; into a file or a pipe
/// standard output is buffered, and flushed before every pause.
void prepare_console();

/// The command line's arguments, as the tool holds names (on Windows UTF-8,
/// whatever the code page).
std::vector<std::string> command_line(int argc, char** argv);

/// Waits for Enter: reads one character from standard input. The end of
/// standard input counts as Enter, so a run with no input never hangs.
void wait_for_enter();

}  // namespace skewquad
