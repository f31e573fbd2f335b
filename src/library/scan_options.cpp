// The library mode's command line, read by CLI11; the angles are read as the
// classic -w and -t read theirs, and held to the same ranges.
#include "library/scan_options.h"

#include <CLI/CLI.hpp>
#include <sstream>
#include <thread>

#include "check/exit_status.h"
#include "check/limits.h"
#include "library/library_texts.h"
#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

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
    options.exit_status = status == 0 ? 0 : exit_status::kUsage;
    return options;
  }

  double warning = kStandardWarningAngle;
  double error = kStandardErrorAngle;
  if (!read_angle("--warning", warning_text, warning, err) ||
      !read_angle("--error", error_text, error, err)) {
    options.finished = true;
    options.exit_status = exit_status::kUsage;
    return options;
  }
  const SettledLimits settled = settle_limits(warning, error);
  if (settled.exit_status != 0) {
    if (settled.warning_out_of_range) {
      std::fprintf(err, text::kScanWarningOutOfRange, warning);
    } else {
      std::fprintf(err, text::kScanErrorOutOfRange, error);
    }
    options.finished = true;
    options.exit_status = settled.exit_status;
    return options;
  }
  options.limits = settled.limits;
  if (settled.warning_lowered) {
    std::fputs(text::kScanWarningAboveError, err);
    std::fprintf(err, text::kScanUsingWarning, options.limits.warning);
  }
  options.fail_on = fail_on == "never"     ? FailOn::kNever
                    : fail_on == "warning" ? FailOn::kWarning
                                           : FailOn::kError;
  return options;
}

}  // namespace skewquad
