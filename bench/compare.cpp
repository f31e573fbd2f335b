// The benchmark command: generates a large LDraw file, runs the plain
// baseline checker, skewquad and skewquad built without SSE2 on it in turn,
// in console mode and in -c mode, checks that all print the same report and
// write the same copy, and prints the median times, their ratios and the
// peak resident memory.
//
//   skewquad-compare [--megabytes N] [--runs N] [--folder DIR]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "timing.h"

namespace {

std::string contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The summary lines that carry the counts, for the record.
std::string counts_of(const std::string& console) {
  std::string counts;
  for (const char* label : {" quad(s) between", "Warning: ", "ERROR: "}) {
    std::size_t at = console.find(label);
    if (at == std::string::npos) continue;
    const std::size_t begin = console.rfind('\n', at) + 1;
    counts += "    " + console.substr(begin, console.find('\n', at) - begin) + "\n";
  }
  return counts;
}

void make_file(const std::string& path, int megabytes) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && info.st_size >= static_cast<off_t>(megabytes) * 1000 * 1000)
    return;
  std::printf("generating %s (%d MB)\n", path.c_str(), megabytes);
  run({GENERATOR_PATH, path, std::to_string(megabytes), "20261207"}, "/dev/null");
}

}  // namespace

int main(int argc, char** argv) {
  int megabytes = 300;
  int runs = 5;
  std::string folder = "/tmp/skewquad-bench";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--megabytes") megabytes = std::atoi(argv[i + 1]);
    if (option == "--runs") runs = std::atoi(argv[i + 1]);
    if (option == "--folder") folder = argv[i + 1];
  }
  mkdir(folder.c_str(), 0755);
  const std::string large = folder + "/library-" + std::to_string(megabytes) + ".dat";
  const std::string small = folder + "/library-" + std::to_string(megabytes / 10) + ".dat";
  make_file(large, megabytes);
  make_file(small, megabytes / 10);

  std::printf("\n%-8s %12s %12s %8s %14s %14s\n", "mode", "baseline s", "skewquad s", "ratio",
              "baseline KiB", "skewquad KiB");
  bool same = true;
  for (const bool replace : {false, true}) {
    std::vector<double> baseline_times, tool_times, portable_times;
    long baseline_peak = 0, tool_peak = 0;
    for (int i = 0; i < runs; ++i) {
      std::vector<std::string> baseline = {BASELINE_PATH}, tool = {TOOL_PATH},
                               portable = {PORTABLE_TOOL_PATH};
      for (auto* command : {&baseline, &tool, &portable}) {
        if (replace) command->push_back("-c");
        command->push_back(large);
      }
      const std::string baseline_copy = replace ? folder + "/baseline.copy" : "";
      const std::string tool_copy = replace ? folder + "/skewquad.copy" : "";
      const std::string portable_copy = replace ? folder + "/portable.copy" : "";
      if (replace) {
        baseline.push_back(baseline_copy);
        tool.push_back(tool_copy);
        portable.push_back(portable_copy);
      }
      const Measure b = run(baseline, folder + "/baseline.console", baseline_copy);
      const Measure t = run(tool, folder + "/skewquad.console", tool_copy);
      const Measure p = run(portable, folder + "/portable.console", portable_copy);
      baseline_times.push_back(b.seconds);
      tool_times.push_back(t.seconds);
      portable_times.push_back(p.seconds);
      baseline_peak = std::max(baseline_peak, b.peak_kib);
      tool_peak = std::max(tool_peak, t.peak_kib);
    }
    const std::string console = contents(folder + "/skewquad.console");
    const bool console_same = console == contents(folder + "/baseline.console");
    const bool copy_same =
        !replace || contents(folder + "/skewquad.copy") == contents(folder + "/baseline.copy");
    const bool portable_same =
        console == contents(folder + "/portable.console") &&
        (!replace || contents(folder + "/portable.copy") == contents(folder + "/skewquad.copy"));
    same = same && console_same && copy_same && portable_same;
    const double b = median(baseline_times), t = median(tool_times), p = median(portable_times);
    std::printf("%-8s %12.3f %12.3f %7.1fx %14ld %14ld\n", replace ? "-c" : "console", b, t, b / t,
                baseline_peak, tool_peak);
    std::printf("  console %s, %s\n%s", console_same ? "identical" : "DIFFERS",
                replace ? (copy_same ? "copy identical" : "copy DIFFERS") : "no copy",
                counts_of(console).c_str());
    std::printf("  built without SSE2 (-DSKEWQUAD_SIMD=OFF): %.3f s, %.2fx the default build, %s\n",
                p, p / t, portable_same ? "same output" : "OUTPUT DIFFERS");
  }
  const Measure small_run = run({TOOL_PATH, small}, folder + "/small.console");
  const Measure large_run = run({TOOL_PATH, large}, folder + "/small.console");
  std::printf("\nskewquad peak memory: %ld KiB on %d MB, %ld KiB on %d MB\n", small_run.peak_kib,
              megabytes / 10, large_run.peak_kib, megabytes);
  return same ? 0 : 1;
}
