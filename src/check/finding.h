// What the check core finds in a file, and the sink it hands each finding
// to: the core never prints, each front end and output format gives a sink.
#pragma once

#include "check/quad_fate.h"

namespace skewquad {

/// A quad line the loop reports: where it stands, its fate and, for a
/// warped quad, its angle.
struct Finding {
  long long line_number = 0;
  QuadFate fate = QuadFate::kNoBand;
  double angle = 0.0;
  bool mended = false;  // replaced in the file by its mend
};

/// Told of every faulty quad line and every quad above the warning angle,
/// in line order, as the loop reads them.
class FindingSink {
 public:
  virtual void take(const Finding& finding) = 0;

 protected:
  FindingSink() = default;
  FindingSink(const FindingSink&) = default;
  FindingSink& operator=(const FindingSink&) = default;
  ~FindingSink() = default;
};

}  // namespace skewquad
