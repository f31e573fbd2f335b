// The library benchmark command: generates a tree shaped like the LDraw
// parts library and times, in one run, skewquad --scan of the tree (with the
// quad checks alone and with every check), cat reading every file of it
// once, the baseline checker run once per file, and --fix of a copy of the
// tree; then the scan of one 400 MB file that is all findings. It prints
// the median times, their ratios and the scans' peak resident memory.
//
// Where the sample of the real library stands beside the project, it times
// the scan with the quad checks alone, with every line's checks and with
// every check (the checks of each file as a whole too) on it, the
// real files' lines being shorter and of other types than the generated.
//
//   skewquad-scan-compare [--files N] [--runs N] [--folder DIR] [--jobs N] [--real DIR]

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
  std::string real = SAMPLE_PATH;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--files") files = std::atol(argv[i + 1]);
    if (option == "--runs") runs = std::atoi(argv[i + 1]);
    if (option == "--folder") folder = argv[i + 1];
    if (option == "--jobs") jobs = argv[i + 1];
    if (option == "--real") real = argv[i + 1];
  }
  std::filesystem::create_directories(folder);
  const std::string tree = folder + "/library-tree";
  make_tree(tree, files);

  std::vector<std::string> scan = {TOOL_PATH, "--scan"};
  if (!jobs.empty()) scan.push_back("--jobs=" + jobs);
  std::vector<std::string> scan_all = scan;
  scan_all.push_back("--checks=all");
  scan.push_back(tree);
  scan_all.push_back(tree);
  const std::vector<std::string> cat = {"/bin/sh", "-c",
                                        "find '" + tree + "' -type f -exec cat {} + >/dev/null"};
  const std::vector<std::string> baseline = {
      "/bin/sh", "-c",
      "find '" + tree +
          "' -type f -name '*.dat' -print0 | xargs -0 -n1 " BASELINE_PATH " >/dev/null"};

  // Every file read once first, so that all runs find them in memory.
  run(cat, "/dev/null");
  std::vector<double> scan_times;
  std::vector<double> all_times;
  std::vector<double> cat_times;
  long peak_kib = 0;
  long all_peak_kib = 0;
  for (int i = 0; i < runs; ++i) {
    const Measure scanned = run(scan, folder + "/scan.console", {}, {0, kScanFindings});
    scan_times.push_back(scanned.seconds);
    peak_kib = std::max(peak_kib, scanned.peak_kib);
    const Measure all = run(scan_all, folder + "/scan-all.console", {}, {0, kScanFindings});
    all_times.push_back(all.seconds);
    all_peak_kib = std::max(all_peak_kib, all.peak_kib);
    cat_times.push_back(run(cat, "/dev/null").seconds);
  }
  const double per_file = run(baseline, "/dev/null").seconds;
  const double scan_time = median(scan_times);
  const double all_time = median(all_times);
  const double cat_time = median(cat_times);

  // --fix mends a copy of the tree, once.
  const std::string copy = folder + "/library-fixed";
  std::filesystem::remove_all(copy);
  run({"/bin/cp", "-a", tree, copy}, "/dev/null");
  const Measure fixed =
      run({TOOL_PATH, "--scan", "--fix", copy}, folder + "/fix.console", {}, {0, kScanFindings});
  std::filesystem::remove_all(copy);

  // One file of 400 MB whose every line is a finding.
  const std::string findings = folder + "/findings.dat";
  if (!std::filesystem::exists(findings)) {
    std::FILE* file = std::fopen(findings.c_str(), "wb");
    std::string lines;  // 1 MiB of them
    while (lines.size() < (std::size_t{1} << 20)) lines += "4 x\n";
    for (int i = 0; i < 400 && file != nullptr; ++i)
      std::fwrite(lines.data(), 1, lines.size(), file);
    if (file != nullptr) std::fclose(file);
  }
  const Measure all_findings =
      run({TOOL_PATH, "--scan", "--json", findings}, "/dev/null", {}, {kScanFindings});
  // The real files: every check against the quad checks and against the
  // checks of each line alone, as --json.
  std::vector<double> real_times;
  std::vector<double> real_lines_times;
  std::vector<double> real_all_times;
  const bool has_real = std::filesystem::is_directory(real);
  if (has_real) {
    std::vector<std::string> real_scan = {TOOL_PATH, "--scan", "--json"};
    if (!jobs.empty()) real_scan.push_back("--jobs=" + jobs);
    std::vector<std::string> real_all = real_scan;
    std::vector<std::string> real_lines = real_scan;
    real_all.push_back("--checks=all");
    real_lines.push_back("--checks=quads,lines,numbers,colours");
    for (auto* command : {&real_scan, &real_lines, &real_all}) command->push_back(real);
    run(real_all, "/dev/null", {}, {0, kScanFindings});
    for (int i = 0; i < runs; ++i) {
      real_times.push_back(run(real_scan, "/dev/null", {}, {0, kScanFindings}).seconds);
      real_lines_times.push_back(run(real_lines, "/dev/null", {}, {0, kScanFindings}).seconds);
      real_all_times.push_back(run(real_all, "/dev/null", {}, {0, kScanFindings}).seconds);
    }
  }
  std::printf("\n%ld files in %s\n", files, tree.c_str());
  std::printf("  skewquad --scan       %8.3f s   peak memory %ld KiB\n", scan_time, peak_kib);
  std::printf("  cat of every file     %8.3f s   scan / cat %.2f\n", cat_time,
              scan_time / cat_time);
  std::printf("  baseline per file     %8.3f s   %.1fx the scan's time\n", per_file,
              per_file / scan_time);
  std::printf("  --checks=all          %8.3f s   %.2fx the scan's time, peak memory %ld KiB\n",
              all_time, all_time / scan_time, all_peak_kib);
  std::printf("  --fix of a copy       %8.3f s   %.2fx the scan's time, peak memory %ld KiB\n",
              fixed.seconds, fixed.seconds / scan_time, fixed.peak_kib);
  std::printf("  400 MB of findings    %8.3f s   --json, peak memory %ld KiB\n",
              all_findings.seconds, all_findings.peak_kib);
  if (has_real) {
    const double real_time = median(real_times);
    const double real_lines_time = median(real_lines_times);
    const double real_all_time = median(real_all_times);
    std::printf("\nthe real files in %s, --json\n", real.c_str());
    std::printf("  skewquad --scan       %8.3f s\n", real_time);
    std::printf("  every line's checks   %8.3f s   %.2fx the scan's time\n", real_lines_time,
                real_lines_time / real_time);
    std::printf("  --checks=all          %8.3f s   %.2fx the scan's time, %.2fx every line's\n",
                real_all_time, real_all_time / real_time, real_all_time / real_lines_time);
  }
  return 0;
}
