// The scan's report: text lines as compilers write them, or JSON Lines
// written by nlohmann::json (bytes of a path that are not UTF-8 become
// U+FFFD), and the summary.
#include "driver/scan_report.h"

#include <cstdarg>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "driver/console_texts.h"

namespace skewquad {
namespace {

constexpr int kFileStatus = 2;
constexpr int kFindingStatus = 4;

using Json = nlohmann::ordered_json;

[[gnu::format(printf, 2, 3)]] void append_format(std::string& out, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int size = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(size) + 1);
  std::vsnprintf(out.data() + start, static_cast<std::size_t>(size) + 1, format, again);
  va_end(again);
  out.pop_back();
}

void append_json(std::string& out, const Json& line) {
  out += line.dump(-1, ' ', false, Json::error_handler_t::replace);
  out += '\n';
}

// The name of each check as JSON gives it.
const char* check_name(QuadFate fate) {
  switch (fate) {
    case QuadFate::kInvalid:
      return "invalid";
    case QuadFate::kIdenticalCorners:
      return "identical";
    case QuadFate::kCollinearCorners:
      return "collinear";
    case QuadFate::kNotConvex:
      return "not_convex";
    default:
      return "warp";
  }
}

void append_text(std::string& out, const std::string& file, const QuadReport& report,
                 const ScanOptions& options) {
  const char* path = file.c_str();
  const long long line = report.line_number;
  switch (report.fate) {
    case QuadFate::kInvalid:
      append_format(out, text::kScanInvalid, path, line);
      break;
    case QuadFate::kIdenticalCorners:
      append_format(out, text::kScanIdentical, path, line);
      break;
    case QuadFate::kCollinearCorners:
      append_format(out, text::kScanCollinear, path, line);
      break;
    case QuadFate::kNotConvex:
      append_format(out, text::kScanNotConvex, path, line);
      break;
    case QuadFate::kError:
      append_format(out, text::kScanWarpError, path, line, report.angle, options.limits.error);
      break;
    case QuadFate::kWarning:
      if (options.list_warnings) {
        append_format(out, text::kScanWarpWarning, path, line, report.angle,
                      options.limits.warning);
      }
      break;
    default:
      break;
  }
}

}  // namespace

void add_to_totals(const FileFindings& file, ScanTotals& totals) {
  // A folder that cannot be listed counts as unreadable, but not as a file.
  if (!file.entry.is_folder) ++totals.files;
  if (!file.entry.problem.empty()) ++totals.unreadable;
  const RunTally& tally = file.tally;
  const long long errors = tally.fault_count + tally.error_count;
  totals.quads += tally.quad_count;
  totals.errors += errors;
  totals.files_with_errors += errors > 0 ? 1 : 0;
  totals.warnings += tally.warning_count;
  totals.files_with_warnings += tally.warning_count > 0 ? 1 : 0;
  totals.low += tally.low_count;
}

void append_findings(std::string& out, const FileFindings& file, const ScanOptions& options) {
  for (const QuadReport& report : file.reports) {
    if (!options.json) {
      append_text(out, file.entry.path, report, options);
      continue;
    }
    Json line;
    line["file"] = file.entry.path;
    line["line"] = report.line_number;
    line["severity"] = report.fate == QuadFate::kWarning ? "warning" : "error";
    line["check"] = check_name(report.fate);
    if (!is_fault(report.fate)) line["angle"] = report.angle;
    append_json(out, line);
  }
  // A file that could not be read, or not to its end, says so last.
  if (file.entry.problem.empty()) return;
  if (options.json) {
    Json line;
    line["file"] = file.entry.path;
    line["severity"] = "error";
    line["check"] = "unreadable";
    line["message"] = file.entry.problem;
    append_json(out, line);
  } else {
    append_format(out,
                  file.entry.is_folder ? text::kScanUnreadableFolder : text::kScanUnreadableFile,
                  file.entry.path.c_str(), file.entry.problem.c_str());
  }
}

void append_summary(std::string& out, const ScanTotals& totals, const ScanOptions& options) {
  if (options.json) {
    Json summary;
    summary["files"] = totals.files;
    summary["unreadable"] = totals.unreadable;
    summary["quads"] = totals.quads;
    summary["errors"] = totals.errors;
    summary["warnings"] = totals.warnings;
    summary["low"] = totals.low;
    Json line;
    line["summary"] = summary;
    append_json(out, line);
    return;
  }
  append_format(out, text::kScanSummary, totals.files, totals.unreadable, totals.quads,
                totals.errors, totals.files_with_errors, totals.warnings,
                totals.files_with_warnings, totals.low);
}

int scan_status(const ScanTotals& totals, FailOn fail_on) {
  if (totals.unreadable > 0) return kFileStatus;
  const bool failed = (fail_on == FailOn::kError && totals.errors > 0) ||
                      (fail_on == FailOn::kWarning && totals.errors + totals.warnings > 0);
  return failed ? kFindingStatus : 0;
}

}  // namespace skewquad
