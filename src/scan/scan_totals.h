// The totals of a scan, and the exit status they imply.
#pragma once

#include "records/run_records.h"
#include "scan/library_walk.h"

namespace skewquad {

/// The level of finding from which a scan fails.
enum class FailOn : std::uint8_t { kError, kWarning, kNever };

/// The totals of a scan.
struct ScanTotals {
  long long files = 0;               // files checked or found unreadable
  long long unreadable = 0;          // files that could not be read
  long long unreadable_folders = 0;  // folders that could not be listed
  long long skipped = 0;             // links found in folders to what is not a regular file
  long long same_files = 0;          // second names of files checked under their first
  long long unwritten = 0;           // files whose mends could not be written
  long long not_diffed = 0;          // files whose mends could not be put in the diff
  long long quads = 0;
  long long errors = 0;  // left after mending
  long long files_with_errors = 0;
  long long warnings = 0;
  long long files_with_warnings = 0;
  long long low = 0;
  long long mended = 0;  // lines mended (their findings no longer counted above)
  long long files_mended = 0;
};

/// Adds one entry of the walk, with the tally of its file, to the totals.
void add_to_totals(const ScanEntry& entry, const RunTally& tally, ScanTotals& totals);

/// The exit status a scan ends with: a file status if a path could not be
/// read, else the findings status if something is at or above the fail-on
/// level, else success.
int scan_status(const ScanTotals& totals, FailOn fail_on);

}  // namespace skewquad
