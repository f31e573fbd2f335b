// The summary of a scan as a JSON object, the same in every report that
// writes JSON.
#pragma once

#include <nlohmann/json.hpp>

#include "scan/scan_totals.h"

namespace skewquad {

/// The totals; with `mending`, the mends and the files not written too.
nlohmann::ordered_json summary_json(const ScanTotals& totals, bool mending);

}  // namespace skewquad
