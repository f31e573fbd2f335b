// The classic command line: each option by its second character.
#include "driver/options.h"

#include "driver/console_texts.h"
#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

constexpr int kUsageStatus = 1;
constexpr int kRangeStatus = 3;

bool is_in_range(double angle) { return angle > 0.0 && angle < 90.0; }

// The usage text, which ends in the quit prompt.
void print_usage(std::FILE* console) { std::fputs(text::kUsage, console); }

}  // namespace

Options parse_options(int argc, const char* const* argv, std::FILE* console) {
  Options options;
  if (argc < 2) {
    print_usage(console);
    options.exit_status = kUsageStatus;
    return options;
  }
  AngleLimits& limits = options.limits;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const char letter = argv[i][1];
    if (letter == 'c') {
      options.flags.auto_split = true;
    } else if (letter == 'o') {
      options.flags.no_conditional = true;
    } else if ((letter == 'w' || letter == 't') && i + 1 < argc) {
      double& angle = letter == 'w' ? limits.warning : limits.error;
      ++i;
      // A value with no number in it leaves the angle as it was.
      scan_double(std::string_view(argv[i]), angle);
      if (!is_in_range(angle)) {
        std::fprintf(console, letter == 'w' ? text::kWarningOutOfRange : text::kErrorOutOfRange,
                     angle);
        std::fputs(text::kQuitPrompt, console);
        options.exit_status = kRangeStatus;
        return options;
      }
    } else {
      // An unknown letter, a lone "-", or -w or -t with no value after it.
      print_usage(console);
      options.exit_status = kUsageStatus;
      return options;
    }
  }

  if (!are_standard(limits)) std::fputs(text::kNonStandardBlock, console);
  if (limits.warning > limits.error) {
    limits.warning = limits.error;
    std::fputs(text::kWarningAboveError, console);
    std::fprintf(console, text::kUsingWarning, limits.warning);
  }
  std::fprintf(console, text::kEchoWarning, limits.warning);
  std::fprintf(console, text::kEchoError, limits.error);
  limits.low = limits.warning * 0.1;

  if (i >= argc) {
    print_usage(console);
    options.exit_status = kUsageStatus;
    return options;
  }
  options.file_index = i;
  return options;
}

}  // namespace skewquad
