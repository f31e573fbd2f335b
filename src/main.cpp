// The entry: the library mode when asked for, otherwise the classic run with
// its banner, options and check.
#include <cstdio>
#include <string_view>

#include "driver/console.h"
#include "driver/console_texts.h"
#include "driver/options.h"
#include "driver/run_check.h"
#include "driver/run_scan.h"

int main(int argc, char** argv) {
  using namespace skewquad;
  // A first argument beginning with "--" was a usage error before the
  // library mode came, so nothing that worked changes.
  if (argc > 1 && std::string_view(argv[1]) == "--scan") return run_scan(argc - 1, argv + 1);
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
