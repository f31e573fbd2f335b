// The classic console: immediate output on a terminal, and the pause before
// exit.
#pragma once

namespace skewquad {

/// On a terminal every text shows as soon as it is printed; into a file or
/// a pipe standard output is buffered, and flushed before every pause.
void prepare_console();

/// Waits for Enter: reads one character from standard input. The end of
/// standard input counts as Enter, so a run with no input never hangs.
void wait_for_enter();

}  // namespace skewquad
