// The library mode's command line, read by CLI11; the angles are read as the
// classic -w and -t read theirs, and held to the same ranges.
#include "driver/scan_options.h"

#include <CLI/CLI.hpp>
#include <sstream>
#include <thread>

#include "driver/console_texts.h"
#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

constexpr int kUsageStatus = 1;
constexpr int kRangeStatus = 3;

// An angle option's text as a number of degrees: the whole text must be one
// number, as the classic options read it.
bool read_angle(const std::string& option, const std::string& text, double& angle, std::FILE* err) {
  if (text.empty()) return true;
  const char* end = scan_double(text, angle);
  if (end != text.data() + text.size()) {
    std::fprintf(err, text::kScanNotAnAngle, option.c_str(), text.c_str());
    return false;
  }
  return true;
}

}  // namespace

ScanOptions parse_scan_options(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  ScanOptions options;
  options.jobs = std::max(1u, std::thread::hardware_concurrency());
  std::string warning_text;
  std::string error_text;
  std::string fail_on = "error";

  CLI::App app{text::kScanDescription, "skewquad --scan"};
  app.set_version_flag("--version", text::kScanVersion);
  app.add_option("-w,--warning", warning_text, "Warning angle in degrees, in (0, 90); default 1")
      ->option_text("ANGLE");
  app.add_option("-t,--error", error_text, "Error angle in degrees, in (0, 90); default 3")
      ->option_text("ANGLE");
  app.add_flag("--warnings", options.list_warnings,
               "List the quads above the warning angle too (JSON always lists them)");
  app.add_flag("--json", options.json, "Write JSON Lines instead of text");
  app.add_option("--jobs", options.jobs, "Worker threads; default the hardware's")
      ->check(CLI::Range(1u, 1024u));
  app.add_option("--fail-on", fail_on, "Exit with 4 on findings of this level or above")
      ->check(CLI::IsMember({"error", "warning", "never"}));
  app.add_option("PATH", options.paths, "Files and folders to check")->required();

  std::ostringstream help;
  std::ostringstream mistakes;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error, help, mistakes);
    std::fputs(help.str().c_str(), out);
    std::fputs(mistakes.str().c_str(), err);
    options.finished = true;
    options.exit_status = status == 0 ? 0 : kUsageStatus;
    return options;
  }

  AngleLimits& limits = options.limits;
  if (!read_angle("--warning", warning_text, limits.warning, err) ||
      !read_angle("--error", error_text, limits.error, err)) {
    options.finished = true;
    options.exit_status = kUsageStatus;
    return options;
  }
  for (const auto& [angle, message] : {std::pair{limits.warning, text::kWarningOutOfRange},
                                       std::pair{limits.error, text::kErrorOutOfRange}}) {
    if (!(angle > 0.0 && angle < 90.0)) {
      std::fprintf(err, message, angle);
      options.finished = true;
      options.exit_status = kRangeStatus;
      return options;
    }
  }
  if (limits.warning > limits.error) {
    limits.warning = limits.error;
    std::fputs(text::kWarningAboveError, err);
    std::fprintf(err, text::kUsingWarning, limits.warning);
  }
  limits.low = limits.warning * 0.1;
  options.fail_on = fail_on == "never"     ? FailOn::kNever
                    : fail_on == "warning" ? FailOn::kWarning
                                           : FailOn::kError;
  return options;
}

}  // namespace skewquad
