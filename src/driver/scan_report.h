// What a scan reports: each file's findings as text lines or JSON Lines,
// and the summary of the whole scan.
#pragma once

#include <string>
#include <vector>

#include "driver/check_loop.h"
#include "driver/library_walk.h"
#include "driver/scan_options.h"
#include "records/run_records.h"

namespace skewquad {

/// What a scan found in one file.
struct FileFindings {
  ScanEntry entry;
  std::vector<QuadReport> reports;
  RunTally tally;
};

/// The totals of a scan.
struct ScanTotals {
  long long files = 0;
  long long unreadable = 0;
  long long quads = 0;
  long long errors = 0;
  long long files_with_errors = 0;
  long long warnings = 0;
  long long files_with_warnings = 0;
  long long low = 0;
};

/// Adds one file's findings to the totals.
void add_to_totals(const FileFindings& file, ScanTotals& totals);

/// Appends the lines that report one file's findings.
void append_findings(std::string& out, const FileFindings& file, const ScanOptions& options);

/// Appends the summary line.
void append_summary(std::string& out, const ScanTotals& totals, const ScanOptions& options);

/// The exit status a scan ends with: 2 if a path could not be read, else 4
/// if something is at or above the fail-on level, else 0.
int scan_status(const ScanTotals& totals, FailOn fail_on);

}  // namespace skewquad
