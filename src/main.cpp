// The entry: the banner, the options, then the check run.
#include <cstdio>

#include "driver/console.h"
#include "driver/console_texts.h"
#include "driver/options.h"
#include "driver/run_check.h"

int main(int argc, char** argv) {
  using namespace skewquad;
  prepare_console();
  std::fputs(text::kBanner, stdout);
  std::fputs(text::kSeparator, stdout);
  const Options options = parse_options(argc, argv, stdout);
  if (options.exit_status != 0) {
    wait_for_enter();
    return options.exit_status;
  }
  // Arguments after the output file name are ignored.
  const char* output_name = options.file_index + 1 < argc ? argv[options.file_index + 1] : nullptr;
  return run_check(argv[options.file_index], output_name, options.limits, options.flags);
}
