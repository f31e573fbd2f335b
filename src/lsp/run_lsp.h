// The language server's run: `skewquad --lsp`.
#pragma once

namespace skewquad {

/// Serves the Language Server Protocol on standard input and output until
/// the exit notification or the end of the input; returns 0 after a
/// shutdown request, 1 without.
int run_lsp();

}  // namespace skewquad
