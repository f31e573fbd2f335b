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
  return run_check(argc, argv, options.file_index, options.limits, options.flags);
}
