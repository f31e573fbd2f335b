// Adding up a scan, and its exit status.
#include "library/scan_totals.h"

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
  }
  const long long errors = tally.fault_count + tally.error_count;
  totals.quads += tally.quad_count;
  totals.errors += errors;
  totals.files_with_errors += errors > 0 ? 1 : 0;
  totals.warnings += tally.warning_count;
  totals.files_with_warnings += tally.warning_count > 0 ? 1 : 0;
  totals.low += tally.low_count;
}

int scan_status(const ScanTotals& totals, FailOn fail_on) {
  if (totals.unreadable + totals.unreadable_folders > 0) return exit_status::kFile;
  const bool failed = (fail_on == FailOn::kError && totals.errors > 0) ||
                      (fail_on == FailOn::kWarning && totals.errors + totals.warnings > 0);
  return failed ? exit_status::kFindings : exit_status::kSuccess;
}

}  // namespace skewquad
