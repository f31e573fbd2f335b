// The classic command line's run: banner, options, the check, the pause.
#pragma once

namespace skewquad {

/// Runs `skewquad [-w A] [-t A] [-c] [-o] LdrawFile [LdrawFileOut]` and
/// returns its exit status. Every way out pauses for Enter; a console that
/// could not be written makes the status exit_status::kFile.
int run_classic(int argc, const char* const* argv);

}  // namespace skewquad
