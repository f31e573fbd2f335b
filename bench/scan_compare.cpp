// The library benchmark command: generates a tree shaped like the LDraw
// parts library and times, in one run, skewquad --scan of the tree, cat
// reading every file of it once, and the baseline checker run once per
// file; it prints the median times, their ratios and the scan's peak
// resident memory.
//
//   skewquad-scan-compare [--files N] [--runs N] [--folder DIR] [--jobs N]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "timing.h"

namespace {

constexpr int kScanFindings = 4;  // the generated tree has quads above 3 degrees

void make_tree(const std::string& tree, long files) {
  const std::string done = tree + "/.complete";
  if (std::filesystem::exists(done)) return;
  std::printf("generating %s (%ld files)\n", tree.c_str(), files);
  std::filesystem::remove_all(tree);
  run({GENERATOR_PATH, tree, std::to_string(files), "20261207"}, "/dev/null");
  std::FILE* marker = std::fopen(done.c_str(), "w");
  if (marker != nullptr) std::fclose(marker);
}

}  // namespace

int main(int argc, char** argv) {
  long files = 27700;
  int runs = 5;
  std::string folder = "/tmp/skewquad-bench";
  std::string jobs;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--files") files = std::atol(argv[i + 1]);
    if (option == "--runs") runs = std::atoi(argv[i + 1]);
    if (option == "--folder") folder = argv[i + 1];
    if (option == "--jobs") jobs = argv[i + 1];
  }
  std::filesystem::create_directories(folder);
  const std::string tree = folder + "/library-tree";
  make_tree(tree, files);

  std::vector<std::string> scan = {TOOL_PATH, "--scan"};
  if (!jobs.empty()) scan.push_back("--jobs=" + jobs);
  scan.push_back(tree);
  const std::vector<std::string> cat = {"/bin/sh", "-c",
                                        "find '" + tree + "' -type f -exec cat {} + >/dev/null"};
  const std::vector<std::string> baseline = {
      "/bin/sh", "-c",
      "find '" + tree +
          "' -type f -name '*.dat' -print0 | xargs -0 -n1 " BASELINE_PATH " >/dev/null"};

  // Every file read once first, so that all runs find them in memory.
  run(cat, "/dev/null");
  std::vector<double> scan_times;
  std::vector<double> cat_times;
  long peak_kib = 0;
  for (int i = 0; i < runs; ++i) {
    const Measure scanned = run(scan, folder + "/scan.console", {}, {0, kScanFindings});
    scan_times.push_back(scanned.seconds);
    peak_kib = std::max(peak_kib, scanned.peak_kib);
    cat_times.push_back(run(cat, "/dev/null").seconds);
  }
  const double per_file = run(baseline, "/dev/null").seconds;
  const double scan_time = median(scan_times);
  const double cat_time = median(cat_times);
  std::printf("\n%ld files in %s\n", files, tree.c_str());
  std::printf("  skewquad --scan       %8.3f s   peak memory %ld KiB\n", scan_time, peak_kib);
  std::printf("  cat of every file     %8.3f s   scan / cat %.2f\n", cat_time,
              scan_time / cat_time);
  std::printf("  baseline per file     %8.3f s   %.1fx the scan's time\n", per_file,
              per_file / scan_time);
  return 0;
}
