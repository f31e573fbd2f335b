// The command line of the scan: skewquad --scan [options] PATH...
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "check/line_checks.h"
#include "records/run_records.h"
#include "scan/scan_totals.h"

namespace skewquad {

/// How the report is written.
enum class ReportFormat : std::uint8_t { kText, kJson, kSarif, kGithub, kHtml };

/// What a scan does besides reporting.
enum class ScanAction : std::uint8_t {
  kReport,  // reports, changes nothing
  kFix,     // --fix: mends the files in place
  kDiff,    // --diff: writes the mends as a unified diff, changes nothing
};

/// What the scan's command line settles.
struct ScanOptions {
  std::vector<std::string> paths;
  AngleLimits limits;
  bool list_warnings = false;                 // --warnings: warnings in the text output too
  ReportFormat format = ReportFormat::kText;  // --format, --json
  unsigned jobs = 1;                          // worker threads
  FailOn fail_on = FailOn::kError;
  ScanAction action = ScanAction::kReport;
  bool no_conditional = false;  // -o: mend warped quads without the conditional line
  CheckGroups groups;           // --checks
  std::string ldconfig;         // --ldconfig: the colours of every path; empty: found above each
  std::string library;          // --library: where the HTML report finds sub-files
  bool finished = false;        // help or version printed, or an error: end with exit_status
  int exit_status = 0;          // for a usage mistake or an angle out of range
};

/// Reads the arguments after "--scan" (`argv[0]` is "--scan" itself). Help
/// and version go to `out`; mistakes, range messages and notes to `err`.
ScanOptions parse_scan_options(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace skewquad
