// The classic console report: each finding as it is read, and the file
// summary at the end.
#pragma once

#include <cstdio>

#include "check/finding.h"
#include "records/run_records.h"

namespace skewquad {

/// Prints each invalid quad line and each quad above the error angle to the
/// console at the moment the loop reads it; other findings are only counted.
class ConsoleReport final : public FindingSink {
 public:
  explicit ConsoleReport(std::FILE* console) : console_(console) {}
  void take(const Finding& finding) override;

 private:
  std::FILE* console_;
};

/// Prints the file summary of a classic run.
void print_summary(const RunTally& tally, const AngleLimits& limits, std::FILE* console);

}  // namespace skewquad
