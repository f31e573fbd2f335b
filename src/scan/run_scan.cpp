// The scan's run. The main thread walks the paths and hands files to
// the workers through a window of slots, at most a few per worker ahead of
// the one it reports next, so that the output comes in walking order
// whatever the number of workers, and memory stays bounded however large
// the tree. Each worker checks one file at a time with the classic line
// loop, shapes first, reusing one read buffer.
#include "scan/run_scan.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "check/exit_status.h"
#include "ldraw/library.h"
#include "platform/console.h"
#include "scan/library_walk.h"
#include "scan/report_printer.h"
#include "scan/report_window.h"
#include "scan/scan_options.h"
#include "scan/scan_texts.h"

namespace skewquad {
namespace {

using Clock = std::chrono::steady_clock;

// Files in flight per worker: enough that no worker waits for the next
// file while one slow file holds up the report.
constexpr std::size_t kSlotsPerWorker = 16;

// Files done of files found, on a terminal's standard error, for a scan that
// lasts longer than a second; the files are counted by a walk of their own.
class Progress {
 public:
  explicit Progress(const std::vector<std::string>& paths)
      : shown_(platform::is_terminal(stderr)), start_(Clock::now()) {
    if (!shown_) return;
    try {
      counter_ = std::thread([this, paths] {
        LibraryWalk walk(paths);
        ScanEntry entry;
        while (!stop_ && walk.next(entry)) ++found_;
      });
    } catch (const std::system_error&) {
      // Without its counter the progress shows the files done alone.
    }
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  ~Progress() {
    stop_ = true;
    if (counter_.joinable()) counter_.join();
  }

  // Erases the line before the report is written to the same terminal.
  void erase() {
    if (!on_screen_) return;
    std::fputs(text::kScanEraseProgress, stderr);
    on_screen_ = false;
  }

  void show(long long done) {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - drawn_ < std::chrono::milliseconds(100)) {
      return;
    }
    drawn_ = now;
    std::fprintf(stderr, text::kScanProgress, done, std::max<long long>(done, found_.load()));
    std::fflush(stderr);
    on_screen_ = true;
  }

 private:
  const bool shown_;
  const Clock::time_point start_;
  Clock::time_point drawn_;
  bool on_screen_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<long long> found_{0};
  std::thread counter_;
};

}  // namespace

int run_scan(int argc, const char* const* argv) {
  const ScanOptions options = parse_scan_options(argc, argv, stdout, stderr);
  if (options.finished) {
    // Help and version are reports too.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
      std::fprintf(stderr, text::kScanUnwritten, std::strerror(errno != 0 ? errno : EIO));
      return exit_status::kReportUnwritten;
    }
    return options.exit_status;
  }

  // The library of each path given, each read once: the one --library
  // names, or the one above the path; its colours from --ldconfig, or from
  // its own LDConfig.ldr.
  std::map<std::string, std::unique_ptr<Library>> by_root;
  std::vector<const Library*> libraries(options.paths.size(), nullptr);
  bool noted = false;
  for (std::size_t i = 0; i < options.paths.size(); ++i) {
    const std::string root = options.library.empty()
                                 ? find_library_root(files_on_disk(), options.paths[i])
                                 : options.library;
    std::unique_ptr<Library>& library = by_root[root];
    const bool added = library == nullptr;
    if (added) library = std::make_unique<Library>(files_on_disk(), root, options.ldconfig);
    libraries[i] = library.get();
    if (!options.groups.colours) continue;
    std::string problem;
    if (library->colours(problem) == nullptr) {
      if (!problem.empty()) {
        std::fprintf(stderr, text::kScanBadLdconfig, text_path(problem).c_str());
        return exit_status::kFile;
      }
      if (!noted) std::fprintf(stderr, text::kScanNoLdconfig, text_path(options.paths[i]).c_str());
      noted = true;
    }
  }

  const bool mending = options.action != ScanAction::kReport;
  const CheckGroups& groups = options.groups;
  const ReportSettings settings{options.limits,
                                options.list_warnings,
                                mending,
                                !options.no_conditional,
                                groups.lines || groups.numbers || groups.colours || !groups.quads,
                                options.fail_on};
  std::unique_ptr<ReportPrinter> printer;
  switch (options.format) {
    case ReportFormat::kText:
      printer = text_printer(settings);
      break;
    case ReportFormat::kJson:
      printer = json_printer(settings);
      break;
    case ReportFormat::kSarif:
      printer = sarif_printer(settings);
      break;
    case ReportFormat::kGithub:
      printer = github_printer(settings);
      break;
    case ReportFormat::kHtml:
      printer = html_printer(settings);
      break;
  }
  Progress progress(options.paths);
  // A diff takes standard output, and the report goes to standard error.
  ReportOutput output(
      options.action == ScanAction::kDiff ? stderr : stdout, [&progress] { progress.erase(); },
      options.format == ReportFormat::kSarif);
  ReportOutput patch(stdout, [&progress] { progress.erase(); });
  // Reporting, only SARIF tells each finding's mend.
  const MendRules mends{
      mending || options.format == ReportFormat::kSarif,
      options.fail_on == FailOn::kWarning ? MendLevel::kWarnings : MendLevel::kErrors,
      !options.no_conditional};
  const ScanWork work{
      {scan_rules(options.limits, groups), mends, nullptr}, options.action, libraries};
  ReportWindow window(options.jobs * kSlotsPerWorker, work, *printer, output, patch);
  std::vector<std::thread> workers;
  for (unsigned i = 0; i < options.jobs; ++i) {
    try {
      workers.emplace_back([&window] { window.work(); });
    } catch (const std::system_error&) {
      // The workers that started do the work; with none, this thread does.
      break;
    }
  }

  ScanTotals totals;
  try {
    std::string opening;
    printer->start(opening);
    output.write(opening);
    LibraryWalk walk(options.paths);
    std::size_t handed_out = 0;
    std::size_t reported = 0;
    bool walked_all = false;
    for (;;) {
      while (!walked_all && handed_out - reported < window.size()) {
        ScanEntry entry;
        walked_all = !walk.next(entry);
        if (!walked_all) window.hand_out(handed_out++, std::move(entry));
      }
      if (reported == handed_out) break;
      window.report(reported++, totals, !workers.empty());
      progress.show(static_cast<long long>(reported));
    }
    std::string summary;
    printer->summary(totals, summary);
    output.write(summary);
  } catch (const std::bad_alloc&) {
    // The workers may be waiting on what will not come: end here, with what
    // was reported so far written out.
    std::fflush(stdout);
    std::fputs(text::kScanOutOfMemory, stderr);
    std::_Exit(exit_status::kOutOfMemory);
  }
  window.finish();
  for (std::thread& worker : workers) worker.join();

  for (ReportOutput* written : {&output, &patch}) {
    if (!written->finish()) {
      std::fprintf(stderr, text::kScanUnwritten, std::strerror(written->error()));
      return exit_status::kReportUnwritten;
    }
  }
  return scan_status(totals, options.fail_on);
}

}  // namespace skewquad
