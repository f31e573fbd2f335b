// Timing a program's run from the benchmark commands: wall time and peak
// resident memory, from the same file-system state every time.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

struct Measure {
  double seconds;
  long peak_kib;
};

/// Runs `arguments` (a program's path, then its arguments) with empty input
/// and its standard output into `console_path`, after removing `copy_path`
/// if given; ends the benchmark if the run ends with a status not listed.
Measure run(const std::vector<std::string>& arguments, const std::string& console_path,
            const std::string& copy_path = {}, std::initializer_list<int> statuses = {0});

/// The median of `values`.
double median(std::vector<double> values);
