// The files of a scan in flight: handed to the workers in walking order,
// checked in parallel, and reported in the same order, each file's report
// written as it is made so that memory stays bounded whatever a file holds.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "scan/file_job.h"
#include "scan/library_walk.h"
#include "scan/report_printer.h"
#include "scan/scan_totals.h"

namespace skewquad {

/// Where the report goes, written as it comes; a failed write is kept.
class ReportOutput {
 public:
  /// `before_write` runs before each write (to clear a progress line).
  /// With `separates_items`, each kItemSeparator written becomes the comma
  /// between the items of a list (a blank before the first).
  ReportOutput(std::FILE* stream, std::function<void()> before_write, bool separates_items = false)
      : stream_(stream),
        before_write_(std::move(before_write)),
        separates_items_(separates_items) {}

  void write(std::string_view bytes);

  /// Flushes; false, with error() saying why, if anything failed to be written.
  bool finish();

  int error() const { return error_; }

 private:
  std::FILE* stream_;
  std::function<void()> before_write_;
  const bool separates_items_;
  int error_ = 0;
  bool any_item_ = false;
};

/// A window of slots, one a file handed out and not yet reported. A file's
/// report is held in its slot up to a budget; past it, the worker waits until
/// its file is the next to be reported and then writes straight to the
/// output. With no worker the reporting thread checks each file itself.
class ReportWindow {
 public:
  /// The report goes to `report`, the diff of a --diff scan to `patch`.
  ReportWindow(std::size_t slots, const ScanWork& work, ReportPrinter& printer,
               ReportOutput& report, ReportOutput& patch);

  std::size_t size() const { return slots_.size(); }

  /// Hands the file at `index` of the walk to the workers.
  void hand_out(std::size_t index, ScanEntry entry);

  /// Waits for the file at `index` (the next in order), writes what is left
  /// of its report and adds it to `totals`. `any_worker` is false when no
  /// worker could be started: the file is then checked here.
  void report(std::size_t index, ScanTotals& totals, bool any_worker);

  /// A worker's life: files from the queue until finish().
  void work();

  /// Tells the workers that no more files will come.
  void finish();

 private:
  struct Slot {
    ScanEntry entry;
    RunTally tally;
    std::string report;
    std::string patch;
    SubFilesToShow sub_files;
    bool done = false;
  };

  void check(std::size_t index, FileJob& job);
  // Hands `out`, full, to `output` once the file at `index` is the next to be reported.
  std::function<void(std::string&)> spill_to(ReportOutput& output, std::size_t index);
  bool take_queued(std::size_t& index);

  std::vector<Slot> slots_;
  const ScanWork work_;
  ReportPrinter& printer_;
  ReportOutput& report_output_;
  ReportOutput& patch_output_;
  ShownOnce shown_;
  FileJob own_job_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable checked_;
  std::condition_variable head_moved_;
  std::deque<std::size_t> queue_;
  std::size_t head_ = 0;
  bool finished_ = false;
};

}  // namespace skewquad
