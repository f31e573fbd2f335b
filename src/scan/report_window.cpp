// The window of files in flight, and the report output.
#include "scan/report_window.h"

#include <cerrno>
#include <new>
#include <system_error>

#include "check/check_loop.h"
#include "scan/line_edits.h"
#include "platform/console.h"
#include "platform/files.h"

namespace skewquad {
namespace {

// Report bytes a slot holds before its worker waits to write them itself:
// with 16 slots a worker, 1 MiB a worker at most.
constexpr std::size_t kSlotBudget = std::size_t{64} * 1024;

std::string problem_text(int error) { return std::generic_category().message(error); }

}  // namespace

void ReportOutput::write(std::string_view bytes) {
  if (bytes.empty()) return;
  if (before_write_) before_write_();
  if (bytes.find(kItemSeparator) != std::string_view::npos) {
    std::string separated(bytes);
    for (char& c : separated) {
      if (c != kItemSeparator) continue;
      c = any_item_ ? ',' : ' ';
      any_item_ = true;
    }
    if (!platform::write_text(stream_, separated) && error_ == 0) error_ = errno != 0 ? errno : EIO;
    return;
  }
  if (!platform::write_text(stream_, bytes) && error_ == 0) {
    error_ = errno != 0 ? errno : EIO;
  }
}

bool ReportOutput::finish() {
  if (std::fflush(stream_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
  if (std::ferror(stream_) != 0 && error_ == 0) error_ = EIO;
  return error_ == 0;
}

ReportWindow::ReportWindow(std::size_t slots, const ScanWork& work, ReportPrinter& printer,
                           ReportOutput& report, ReportOutput& patch)
    : slots_(slots), work_(work), printer_(printer), report_output_(report), patch_output_(patch) {}

std::function<void(std::string&)> ReportWindow::spill_to(ReportOutput& output, std::size_t index) {
  return [this, &output, index](std::string& out) {
    std::unique_lock lock(mutex_);
    head_moved_.wait(lock, [this, index] { return head_ == index; });
    lock.unlock();
    output.write(out);
    out.clear();
  };
}

void ReportWindow::hand_out(std::size_t index, ScanEntry entry) {
  Slot& slot = slots_[index % slots_.size()];
  slot.entry = std::move(entry);
  slot.tally = {};
  slot.done = false;
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(index);
  }
  queued_.notify_one();
}

namespace {

// The edits of the first reading of a file being mended, which only finds
// out what it will mend.
class NoEdits final : public LineEdits {
 public:
  void keep(std::string_view /*piece*/) override {}
  void replace(std::string_view /*line*/, std::string_view /*replacement*/) override {}
};

// The findings of the second reading, already reported by the first.
class NoFindings final : public FindingSink {
 public:
  void take(const Finding& /*finding*/) override {}
};

}  // namespace

void ReportWindow::check(std::size_t index, LineReader& reader) {
  Slot& slot = slots_[index % slots_.size()];
  CheckRules rules = work_.rules;
  if (slot.entry.root < work_.colours.size()) rules.lines.colours = work_.colours[slot.entry.root];
  const std::string path = printer_.path_field(slot.entry.path);
  if (slot.entry.problem.empty()) {
    bool not_regular = false;
    std::FILE* input = platform::open_regular_file(slot.entry.path.c_str(), not_regular);
    if (input == nullptr) {
      slot.entry.problem = not_regular ? "not a regular file" : problem_text(errno);
    } else {
      // Past the budget the report waits for its turn and is then written.
      PrintingSink sink(printer_, path, slot.report, kSlotBudget, spill_to(report_output_, index));
      reader.restart(input);
      try {
        if (work_.action == ScanAction::kReport && work_.with_mends) {
          // Mended nowhere: each finding only learns its mend.
          NoEdits no_edits;
          mend_lines(reader, rules, work_.mend_level, work_.conditional, slot.tally, sink,
                     no_edits);
          slot.tally.mended_errors = 0;
          slot.tally.mended_warnings = 0;
        } else if (work_.action == ScanAction::kReport) {
          check_lines(reader, nullptr, rules, {}, slot.tally, sink);
        } else {
          mend(index, rules, input, reader, sink);
        }
        if (reader.failed()) slot.entry.problem = problem_text(errno != 0 ? errno : EIO);
        const RunTally& tally = slot.tally;
        const bool findings =
            tally.fault_count + tally.error_count + tally.warning_count + tally.line_faults > 0;
        if (findings && input != nullptr && slot.entry.problem.empty() &&
            printer_.wants_file_text() && std::fseek(input, 0, SEEK_SET) == 0) {
          printer_.file_text(path, input, slot.report, spill_to(report_output_, index),
                             slot.references);
        }
      } catch (const std::bad_alloc&) {
        slot.entry.problem = problem_text(ENOMEM);
      }
      if (input != nullptr) std::fclose(input);
    }
  }
}

void ReportWindow::mend(std::size_t index, const CheckRules& rules, std::FILE*& input,
                        LineReader& reader, FindingSink& sink) {
  Slot& slot = slots_[index % slots_.size()];
  NoEdits no_edits;
  mend_lines(reader, rules, work_.mend_level, work_.conditional, slot.tally, sink, no_edits);
  // A file with nothing to mend is not touched, not even its time.
  if (reader.failed() || slot.tally.mended_errors + slot.tally.mended_warnings == 0) return;
  if (std::fseek(input, 0, SEEK_SET) != 0) {
    slot.entry.problem = problem_text(errno);
    return;
  }
  reader.restart(input);
  RunTally again;
  NoFindings no_findings;
  if (work_.action == ScanAction::kDiff) {
    DiffEdits diff(slot.entry.path, slot.patch, kSlotBudget, spill_to(patch_output_, index));
    mend_lines(reader, rules, work_.mend_level, work_.conditional, again, no_findings, diff);
    if (!reader.failed()) diff.finish();
    return;
  }
  // In place, as the classic fix writes a file over itself: a private copy
  // that takes the file's place only if all went well and the file is
  // still as it was read.
  const std::unique_ptr<platform::OutputFile> output =
      platform::OutputFile::create(slot.entry.path.c_str(), input);
  if (output == nullptr) {
    slot.entry.kind = EntryKind::kUnwritten;
    slot.entry.problem = problem_text(errno);
    return;
  }
  CopyStream copy(output->file());
  CopyEdits edits(copy);
  mend_lines(reader, rules, work_.mend_level, work_.conditional, again, no_findings, edits);
  if (reader.failed()) {
    output->discard();
    return;
  }
  // The input is closed first, as the classic fix closes it: some systems
  // replace no file that is open.
  const bool closed = std::fclose(input) == 0;
  input = nullptr;
  errno = 0;
  if (!closed) {
    output->discard();
    slot.entry.problem = problem_text(errno != 0 ? errno : EIO);
    return;
  }
  if (!(copy.flush() && output->commit())) {
    slot.entry.kind = EntryKind::kUnwritten;
    slot.entry.problem =
        errno != 0 ? problem_text(errno)
                   : std::string("it changed while it was checked, or could not be replaced");
  }
}

bool ReportWindow::take_queued(std::size_t& index) {
  if (queue_.empty()) return false;
  index = queue_.front();
  queue_.pop_front();
  return true;
}

void ReportWindow::report(std::size_t index, ScanTotals& totals, bool any_worker) {
  {
    const std::lock_guard lock(mutex_);
    head_ = index;
  }
  head_moved_.notify_all();
  Slot& slot = slots_[index % slots_.size()];
  if (!any_worker) {
    // Files are queued in order, so the one at the head is the next.
    std::size_t queued = 0;
    while (!slot.done && take_queued(queued)) {
      check(queued, own_reader_);
      slots_[queued % slots_.size()].done = true;
    }
  }
  {
    std::unique_lock lock(mutex_);
    checked_.wait(lock, [&slot] { return slot.done; });
  }
  // A file that could not be read, or not to its end, says so last.
  if (!slot.entry.problem.empty()) {
    printer_.problem(printer_.path_field(slot.entry.path), slot.entry, slot.report);
  }
  printer_.after_file(slot.entry, slot.references, slot.report);
  slot.references.clear();
  report_output_.write(slot.report);
  slot.report.clear();
  patch_output_.write(slot.patch);
  slot.patch.clear();
  add_to_totals(slot.entry, slot.tally, totals);
  slot.entry = {};
}

void ReportWindow::work() {
  LineReader reader;
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return !queue_.empty() || finished_; });
      if (!take_queued(index)) return;
    }
    check(index, reader);
    {
      const std::lock_guard lock(mutex_);
      slots_[index % slots_.size()].done = true;
    }
    checked_.notify_all();
  }
}

void ReportWindow::finish() {
  {
    const std::lock_guard lock(mutex_);
    finished_ = true;
  }
  queued_.notify_all();
}

}  // namespace skewquad
