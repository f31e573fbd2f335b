// The entry: the library mode when asked for, otherwise the classic run with
// its banner, options and check.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "driver/console.h"
#include "driver/console_texts.h"
#include "driver/options.h"
#include "driver/run_check.h"
#include "driver/run_scan.h"

int main(int argc, char** argv) {
  using namespace skewquad;
  prepare_console();
  const std::vector<std::string> arguments = command_line(argc, argv);
  std::vector<const char*> pointers;
  pointers.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);
  const int count = static_cast<int>(arguments.size());
  const char* const* values = pointers.data();

  // A first argument beginning with "--" was a usage error before the
  // library mode came, so nothing that worked changes.
  if (count > 1 && std::string_view(values[1]) == "--scan") return run_scan(count - 1, values + 1);
  std::fputs(text::kBanner, stdout);
  std::fputs(text::kSeparator, stdout);
  const Options options = parse_options(count, values, stdout);
  if (options.exit_status != 0) {
    wait_for_enter();
    return options.exit_status;
  }
  // Arguments after the output file name are ignored.
  const char* output_name =
      options.file_index + 1 < count ? values[options.file_index + 1] : nullptr;
  return run_check(values[options.file_index], output_name, options.limits, options.flags);
}
