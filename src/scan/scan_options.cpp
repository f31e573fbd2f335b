// The scan's command line, read by CLI11; the angles are read as the
// classic -w and -t read theirs, and held to the same ranges.
#include "scan/scan_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>
#include <sstream>
#include <string_view>
#include <thread>

#include "check/exit_status.h"
#include "check/limits.h"
#include "ldraw/check_groups.h"
#include "scan/scan_texts.h"
#include "text/scanf_numbers.h"

namespace skewquad {
namespace {

// The most worker threads a scan starts.
constexpr unsigned kMostJobs = 1024;

// An angle option's text as a number of degrees, when it was given: the
// whole text must be one number, as the classic options read it.
bool read_angle(const std::string& option, const std::optional<std::string>& given, double& angle,
                std::FILE* err) {
  if (!given) return true;
  const std::string& text = *given;
  const char* end = scan_double(text, angle);
  if (text.empty() || end != text.data() + text.size()) {
    std::fprintf(err, text::kScanNotAnAngle, option.c_str(), text.c_str());
    return false;
  }
  return true;
}

// The number of workers: decimal digits alone, from 1 to kMostJobs.
bool read_jobs(const std::optional<std::string>& given, unsigned& jobs, std::FILE* err) {
  if (!given) return true;
  const std::string& text = *given;
  const bool digits =
      !text.empty() && text.size() <= 4 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const unsigned value = digits ? static_cast<unsigned>(std::stoul(text)) : 0;
  if (value < 1 || value > kMostJobs) {
    std::fprintf(err, text::kScanNotJobs, text.c_str());
    return false;
  }
  jobs = value;
  return true;
}

// The groups of --checks.
bool read_checks(const std::optional<std::string>& given, CheckGroups& groups, std::FILE* err) {
  if (!given || check_groups_named(*given, groups)) return true;
  std::fprintf(err, text::kScanNotChecks, given->c_str());
  return false;
}

// An option written with '=' and nothing after it: CLI11 would take the
// next argument as its value, a path as an angle.
const char* option_without_value(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument(argv[i]);
    if (argument == "--") break;
    if (argument.starts_with("--") && argument.ends_with('=')) return argv[i];
  }
  return nullptr;
}

}  // namespace

ScanOptions parse_scan_options(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  ScanOptions options;
  options.jobs = std::max(1u, std::thread::hardware_concurrency());
  std::optional<std::string> warning_text;
  std::optional<std::string> error_text;
  std::optional<std::string> jobs_text;
  std::optional<std::string> checks_text;
  std::string fail_on = "error";
  if (const char* option = option_without_value(argc, argv)) {
    std::fprintf(err, text::kScanNeedsValue, option);
    options.finished = true;
    options.exit_status = exit_status::kUsage;
    return options;
  }

  CLI::App app{text::kScanDescription, "skewquad --scan"};
  // Options are written with dashes on every system: a path such as
  // /c/parts, from a Unix-like shell on Windows, is a path there too.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", text::kScanVersion);
  app.add_option("-w,--warning", warning_text, "Warning angle in degrees, in (0, 90); default 1")
      ->option_text("ANGLE");
  app.add_option("-t,--error", error_text, "Error angle in degrees, in (0, 90); default 3")
      ->option_text("ANGLE");
  app.add_flag("--warnings", options.list_warnings,
               "List the quads above the warning angle too (JSON always lists them)");
  bool json = false;
  std::string format = "text";
  app.add_flag("--json", json, "Write JSON Lines instead of text, as --format=json");
  app.add_option("--format", format,
                 "The report's format: text, json (JSON Lines), sarif (SARIF 2.1.0) or github "
                 "(GitHub workflow commands) or html (a page with a 3D view of each flagged file)")
      ->check(CLI::IsMember({"text", "json", "sarif", "github", "html"}))
      ->option_text("FORMAT");
  app.add_option("--jobs", jobs_text, "Worker threads, 1 to 1024; default the hardware's")
      ->option_text("N");
  app.add_option("--fail-on", fail_on, "Exit with 4 on findings of this level or above")
      ->check(CLI::IsMember({"error", "warning", "never"}));
  app.add_option("--checks", checks_text,
                 "Checks to make: quads (the default), lines, numbers, colours, file (a part's "
                 "header, metas and name) or all, joined by commas")
      ->option_text("LIST");
  app.add_option("--ldconfig", options.ldconfig,
                 "The LDConfig.ldr whose colours are known; default the one above each path")
      ->option_text("PATH");
  app.add_option("--library", options.library,
                 "The library root whose parts/ and p/ the HTML report draws sub-files from; "
                 "default the one above each file")
      ->option_text("DIR");
  bool fix = false;
  bool diff = false;
  app.add_flag("--fix", fix,
               "Mend, in place, every finding at or above the --fail-on level that can be mended "
               "exactly");
  app.add_flag("--diff", diff, "Write what --fix would change as a unified diff; change nothing");
  app.add_flag("-o,--no-conditional", options.no_conditional,
               "Mend warped quads without the conditional line along the cut");
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
    options.exit_status = status == 0 ? exit_status::kSuccess : exit_status::kUsage;
    return options;
  }

  double warning = kStandardWarningAngle;
  double error = kStandardErrorAngle;
  if (!read_angle("--warning", warning_text, warning, err) ||
      !read_angle("--error", error_text, error, err) || !read_jobs(jobs_text, options.jobs, err) ||
      !read_checks(checks_text, options.groups, err)) {
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
  if (fix && diff) {
    std::fputs(text::kScanFixAndDiff, err);
    options.finished = true;
    options.exit_status = exit_status::kUsage;
    return options;
  }
  if (json && format != "text" && format != "json") {
    std::fprintf(err, text::kScanJsonAndFormat, format.c_str());
    options.finished = true;
    options.exit_status = exit_status::kUsage;
    return options;
  }
  // A report that goes where its reader looks: --fix changes the files it
  // reports, and --diff takes standard output for the patch.
  const std::string& report_format = json ? std::string("json") : format;
  if (fix && report_format != "text" && report_format != "json" && report_format != "github") {
    std::fprintf(err, text::kScanFixAndFormat, report_format.c_str());
    options.finished = true;
    options.exit_status = exit_status::kUsage;
    return options;
  }
  if (diff && report_format != "text") {
    std::fprintf(err, text::kScanDiffAndFormat, report_format.c_str());
    options.finished = true;
    options.exit_status = exit_status::kUsage;
    return options;
  }
  options.format = json || format == "json" ? ReportFormat::kJson
                   : format == "sarif"      ? ReportFormat::kSarif
                   : format == "github"     ? ReportFormat::kGithub
                   : format == "html"       ? ReportFormat::kHtml
                                            : ReportFormat::kText;
  options.action = fix ? ScanAction::kFix : diff ? ScanAction::kDiff : ScanAction::kReport;
  options.fail_on = fail_on == "never"     ? FailOn::kNever
                    : fail_on == "warning" ? FailOn::kWarning
                                           : FailOn::kError;
  return options;
}

}  // namespace skewquad
