// Adding up a scan, and its exit status.
#include "scan/scan_totals.h"

#include "check/exit_status.h"

namespace skewquad {

void add_to_totals(const ScanEntry& entry, const RunTally& tally, ScanTotals& totals) {
  switch (entry.kind) {
    case EntryKind::kFile:
      ++totals.files;
      if (!entry.problem.empty()) ++totals.unreadable;
      break;
    case EntryKind::kFolder:
      ++totals.unreadable_folders;
      break;
    case EntryKind::kSkipped:
      ++totals.skipped;
      break;
    case EntryKind::kSameFile:
      ++totals.same_files;
      break;
    case EntryKind::kUnwritten:
      ++totals.files;
      ++totals.unwritten;
      break;
    case EntryKind::kNotDiffed:
      ++totals.files;
      ++totals.not_diffed;
      break;
  }
  const long long errors =
      tally.fault_count + tally.error_count + tally.line_faults - tally.resolved_errors;
  const long long warnings = tally.warning_count - tally.resolved_warnings;
  const long long mended = tally.mended_lines;
  totals.quads += tally.quad_count;
  totals.errors += errors;
  totals.files_with_errors += errors > 0 ? 1 : 0;
  totals.warnings += warnings;
  totals.files_with_warnings += warnings > 0 ? 1 : 0;
  totals.low += tally.low_count;
  totals.mended += mended;
  totals.files_mended += mended > 0 ? 1 : 0;
}

int scan_status(const ScanTotals& totals, FailOn fail_on) {
  if (totals.unreadable + totals.unreadable_folders + totals.unwritten + totals.not_diffed > 0) {
    return exit_status::kFile;
  }
  const bool failed = (fail_on == FailOn::kError && totals.errors > 0) ||
                      (fail_on == FailOn::kWarning && totals.errors + totals.warnings > 0);
  return failed ? exit_status::kFindings : exit_status::kSuccess;
}

}  // namespace skewquad
