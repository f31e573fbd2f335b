// The classic command line's run.
#include "classic/run_classic.h"

#include <cstdio>

#include "check/exit_status.h"
#include "classic/console.h"
#include "classic/console_texts.h"
#include "classic/options.h"
#include "classic/run_check.h"

namespace skewquad {

int run_classic(int argc, const char* const* argv) {
  prepare_console();
  std::fputs(text::kBanner, stdout);
  std::fputs(text::kSeparator, stdout);
  const Options options = parse_options(argc, argv, stdout);
  int status = options.exit_status;
  if (status == exit_status::kSuccess) {
    // Arguments after the output file name are ignored.
    const char* output_name =
        options.file_index + 1 < argc ? argv[options.file_index + 1] : nullptr;
    status = run_check(argv[options.file_index], output_name, options.limits, options.flags);
  }
  wait_for_enter();
  // A report that never reached the console is no success.
  if (std::ferror(stdout) != 0) return exit_status::kFile;
  return status;
}

}  // namespace skewquad
