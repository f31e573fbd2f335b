// The classic command line: each option by its second character.
#include "classic/options.h"

#include "check/exit_status.h"
#include "check/limits.h"
#include "classic/console_texts.h"
#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

// The usage text, which ends in the quit prompt.
void print_usage(std::FILE* console) { std::fputs(text::kUsage, console); }

}  // namespace

Options parse_options(int argc, const char* const* argv, std::FILE* console) {
  Options options;
  if (argc < 2) {
    print_usage(console);
    options.exit_status = exit_status::kUsage;
    return options;
  }
  double warning = kStandardWarningAngle;
  double error = kStandardErrorAngle;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const char letter = argv[i][1];
    if (letter == 'c') {
      options.flags.auto_split = true;
    } else if (letter == 'o') {
      options.flags.no_conditional = true;
    } else if ((letter == 'w' || letter == 't') && i + 1 < argc) {
      double& angle = letter == 'w' ? warning : error;
      ++i;
      // A value with no number in it leaves the angle as it was. Each angle
      // is held to its range as it is read, so the first mistake is told.
      scan_double(std::string_view(argv[i]), angle);
      if (!is_angle_in_range(angle)) {
        std::fprintf(console, letter == 'w' ? text::kWarningOutOfRange : text::kErrorOutOfRange,
                     angle);
        std::fputs(text::kQuitPrompt, console);
        options.exit_status = exit_status::kRange;
        return options;
      }
    } else {
      // An unknown letter, a lone "-", or -w or -t with no value after it.
      print_usage(console);
      options.exit_status = exit_status::kUsage;
      return options;
    }
  }

  const SettledLimits settled = settle_limits(warning, error);
  options.limits = settled.limits;
  if (!are_standard({warning, error})) std::fputs(text::kNonStandardBlock, console);
  if (settled.warning_lowered) {
    std::fputs(text::kWarningAboveError, console);
    std::fprintf(console, text::kUsingWarning, options.limits.warning);
  }
  std::fprintf(console, text::kEchoWarning, options.limits.warning);
  std::fprintf(console, text::kEchoError, options.limits.error);

  if (i >= argc) {
    print_usage(console);
    options.exit_status = exit_status::kUsage;
    return options;
  }
  options.file_index = i;
  return options;
}

}  // namespace skewquad
