// The library mode's run. The main thread walks the paths and hands files to
// the workers through a window of slots, at most a few per worker ahead of
// the one it reports next, so that the output comes in walking order
// whatever the number of workers, and memory stays bounded however large
// the tree. Each worker checks one file at a time with the classic line
// loop, shapes first, reusing one read buffer.
#include "driver/run_scan.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "driver/console_texts.h"
#include "driver/library_walk.h"
#include "driver/quad_fate.h"
#include "driver/scan_options.h"
#include "driver/scan_report.h"
#include "platform/console.h"
#include "platform/files.h"
#include "text/line_reader.h"

namespace skewquad {
namespace {

using Clock = std::chrono::steady_clock;

// Files in flight per worker: enough that no worker waits for the next
// file while one slow file holds up the report.
constexpr std::size_t kSlotsPerWorker = 16;

std::string problem_text(int error) { return std::generic_category().message(error); }

// Checks one file: every quad line's shape, then its warp.
void check_file(FileFindings& file, const QuadSieve& sieve, LineReader& reader) {
  if (!file.entry.problem.empty()) return;
  std::FILE* input = platform::open_input(file.entry.path.c_str());
  if (input == nullptr) {
    file.entry.problem = problem_text(errno);
    return;
  }
  reader.restart(input);
  check_lines(reader, nullptr, sieve, {}, file.tally,
              [&file](const QuadReport& report) { file.reports.push_back(report); });
  if (reader.failed()) file.entry.problem = problem_text(errno != 0 ? errno : EIO);
  std::fclose(input);
}

// The files handed out and not yet reported, by their place in the walk.
class Window {
 public:
  Window(std::size_t slots, const QuadSieve& sieve) : slots_(slots), sieve_(sieve) {}

  std::size_t size() const { return slots_.size(); }

  // Hands the file at `index` to the workers.
  void hand_out(std::size_t index, ScanEntry entry) {
    Slot& slot = slots_[index % slots_.size()];
    slot.file = FileFindings{std::move(entry), {}, {}};
    slot.done = false;
    {
      const std::lock_guard lock(mutex_);
      queue_.push_back(index);
    }
    work_.notify_one();
  }

  // The file at `index`, once a worker has checked it.
  FileFindings& wait_for(std::size_t index) {
    Slot& slot = slots_[index % slots_.size()];
    std::unique_lock lock(mutex_);
    checked_.wait(lock, [&slot] { return slot.done; });
    return slot.file;
  }

  // A worker's life: files from the queue until there are no more.
  void work() {
    LineReader reader;
    for (;;) {
      std::size_t index = 0;
      {
        std::unique_lock lock(mutex_);
        work_.wait(lock, [this] { return !queue_.empty() || finished_; });
        if (queue_.empty()) return;
        index = queue_.front();
        queue_.pop_front();
      }
      Slot& slot = slots_[index % slots_.size()];
      check_file(slot.file, sieve_, reader);
      {
        const std::lock_guard lock(mutex_);
        slot.done = true;
      }
      checked_.notify_all();
    }
  }

  // Tells the workers no more files will come.
  void finish() {
    {
      const std::lock_guard lock(mutex_);
      finished_ = true;
    }
    work_.notify_all();
  }

 private:
  struct Slot {
    FileFindings file;
    bool done = false;
  };
  std::vector<Slot> slots_;
  const QuadSieve sieve_;
  std::mutex mutex_;
  std::condition_variable work_;
  std::condition_variable checked_;
  std::deque<std::size_t> queue_;
  bool finished_ = false;
};

// Files done of files found, on a terminal's standard error, for a scan that
// lasts longer than a second; the files are counted by a walk of their own.
class Progress {
 public:
  explicit Progress(const std::vector<std::string>& paths)
      : shown_(platform::is_terminal(stderr)), start_(Clock::now()) {
    if (!shown_) return;
    counter_ = std::thread([this, paths] {
      LibraryWalk walk(paths);
      ScanEntry entry;
      while (!stop_ && walk.next(entry)) ++found_;
    });
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
  if (options.finished) return options.exit_status;

  Window window(options.jobs * kSlotsPerWorker, sieve_for(options.limits, true));
  std::vector<std::thread> workers;
  for (unsigned i = 0; i < options.jobs; ++i) workers.emplace_back([&window] { window.work(); });

  Progress progress(options.paths);
  LibraryWalk walk(options.paths);
  ScanTotals totals;
  std::string report;
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
    FileFindings& file = window.wait_for(reported++);
    add_to_totals(file, totals);
    report.clear();
    append_findings(report, file, options);
    file = {};
    if (!report.empty()) {
      progress.erase();
      std::fwrite(report.data(), 1, report.size(), stdout);
    }
    progress.show(static_cast<long long>(reported));
  }
  window.finish();
  for (std::thread& worker : workers) worker.join();

  progress.erase();
  report.clear();
  append_summary(report, totals, options);
  std::fwrite(report.data(), 1, report.size(), stdout);
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  return written ? scan_status(totals, options.fail_on) : 2;
}

}  // namespace skewquad
