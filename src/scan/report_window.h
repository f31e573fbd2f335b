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

#include "check/check_loop.h"
#include "check/judge_quad.h"
#include "scan/finding_log.h"
#include "scan/library_walk.h"
#include "scan/report_printer.h"
#include "scan/scan_options.h"
#include "scan/scan_totals.h"
#include "text/line_reader.h"

namespace skewquad {

/// Where the report goes, written as it comes; a failed write is kept.
class ReportOutput {
 public:
  /// `before_write` runs before each write (to clear a progress line).
  ReportOutput(std::FILE* stream, std::function<void()> before_write)
      : stream_(stream), before_write_(std::move(before_write)) {}

  void write(std::string_view bytes);

  /// Flushes; false, with error() saying why, if anything failed to be written.
  bool finish();

  int error() const { return error_; }

 private:
  std::FILE* stream_;
  std::function<void()> before_write_;
  int error_ = 0;
  bool any_item_ = false;
};

/// What the workers do with each file.
struct ScanWork {
  CheckRules rules;
  ScanAction action = ScanAction::kReport;
  MendRules mends;  // how lines are mended (mends.mends: reporting, say how)
  // The colours known to the files found through each path given, by its
  // place; none where no LDConfig.ldr was found.
  std::vector<const ColourTable*> colours;
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
    std::vector<std::string> references;  // sub-files its text refers to, for the report
    bool done = false;
  };

  // What a worker reads a file with, one set a worker.
  struct Tools {
    LineReader reader;
    FindingLog log{kFindingLogBudget};
  };
  static constexpr std::size_t kFindingLogBudget = std::size_t{64} * 1024;

  void check(std::size_t index, Tools& tools);
  // Mends the file at `index`, open as `input` and read by `tools` into
  // `sink` once; closes `input` (and sets it to null) when it replaces the
  // file.
  void mend(std::size_t index, const CheckRules& rules, std::FILE*& input, Tools& tools,
            FindingSink& sink);
  // Writes the diff of the mends of the file at `index`, open as `input`.
  void diff(std::size_t index, const CheckRules& rules, std::FILE* input, Tools& tools,
            FindingSink& sink);
  // Hands `out`, full, to `output` once the file at `index` is the next to be reported.
  std::function<void(std::string&)> spill_to(ReportOutput& output, std::size_t index);
  bool take_queued(std::size_t& index);

  std::vector<Slot> slots_;
  const ScanWork work_;
  ReportPrinter& printer_;
  ReportOutput& report_output_;
  ReportOutput& patch_output_;
  Tools own_tools_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable checked_;
  std::condition_variable head_moved_;
  std::deque<std::size_t> queue_;
  std::size_t head_ = 0;
  bool finished_ = false;
};

}  // namespace skewquad
