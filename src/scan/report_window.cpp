// The window of files in flight, and the report output.
#include "scan/report_window.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "check/check_loop.h"
#include "platform/console.h"
#include "platform/files.h"
#include "scan/line_edits.h"
#include "scan/scan_texts.h"

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

// The findings of a diff's first reading, each as the diff mends it.
class AsMended final : public FindingSink {
 public:
  explicit AsMended(FindingSink& sink) : sink_(sink) {}
  void take(const Finding& finding) override {
    Finding mended = finding;
    mended.mended = finding.role != MendRole::kNone;
    sink_.take(mended);
  }

 private:
  FindingSink& sink_;
};

// The tally of a file as left: nothing of it was mended.
void unmended(RunTally& tally) {
  tally.mended_lines = 0;
  tally.resolved_errors = 0;
  tally.resolved_warnings = 0;
}

}  // namespace

void ReportWindow::check(std::size_t index, Tools& tools) {
  Slot& slot = slots_[index % slots_.size()];
  CheckRules rules = work_.rules;
  if (slot.entry.root < work_.colours.size()) rules.lines.colours = work_.colours[slot.entry.root];
  if (!slot.entry.problem.empty()) return;
  const std::string path = printer_.path_field(slot.entry.path);
  bool not_regular = false;
  std::FILE* input = platform::open_regular_file(slot.entry.path.c_str(), not_regular);
  if (input == nullptr) {
    slot.entry.problem = not_regular ? "not a regular file" : problem_text(errno);
    return;
  }
  // Past the budget the report waits for its turn and is then written.
  PrintingSink sink(printer_, path, slot.report, kSlotBudget, spill_to(report_output_, index));
  LineReader& reader = tools.reader;
  reader.restart(input);
  try {
    switch (work_.action) {
      case ScanAction::kReport:
        analyse_lines(reader, rules, work_.mends, slot.tally, sink);
        // Nothing was mended: the mends are only told.
        unmended(slot.tally);
        break;
      case ScanAction::kFix:
        mend(index, rules, input, tools, sink);
        break;
      case ScanAction::kDiff:
        diff(index, rules, input, tools, sink);
        break;
    }
    if (reader.failed() && slot.entry.problem.empty()) {
      slot.entry.problem = problem_text(errno != 0 ? errno : EIO);
    }
    const RunTally& tally = slot.tally;
    const bool findings =
        tally.fault_count + tally.error_count + tally.warning_count + tally.line_faults > 0;
    if (findings && input != nullptr && slot.entry.problem.empty() && printer_.wants_file_text() &&
        std::fseek(input, 0, SEEK_SET) == 0) {
      printer_.file_text(path, input, slot.report, spill_to(report_output_, index),
                         slot.references);
    }
  } catch (const std::bad_alloc&) {
    slot.entry.problem = problem_text(ENOMEM);
  }
  if (input != nullptr) std::fclose(input);
}

void ReportWindow::diff(std::size_t index, const CheckRules& rules, std::FILE* input, Tools& tools,
                        FindingSink& sink) {
  Slot& slot = slots_[index % slots_.size()];
  LineReader& reader = tools.reader;
  // A patch that names a path outside the folder it is applied in, or a
  // symbolic link, is refused whole by git apply: such a file's findings
  // are told, unmended.
  const char* refused = !is_diff_path(slot.entry.path) ? text::kScanOutsideFolder
                        : std::filesystem::is_symlink(platform::path_of(slot.entry.path))
                            ? text::kScanLinkNotDiffed
                            : nullptr;
  if (refused != nullptr) {
    slot.entry.kind = EntryKind::kNotDiffed;
    slot.entry.problem = refused;
    analyse_lines(reader, rules, {}, slot.tally, sink);
    return;
  }
  AsMended as_mended(sink);
  analyse_lines(reader, rules, work_.mends, slot.tally, as_mended);
  // A file with nothing to mend has no hunk.
  if (reader.failed() || slot.tally.mended_lines == 0) return;
  if (std::fseek(input, 0, SEEK_SET) != 0) {
    slot.entry.problem = problem_text(errno);
    return;
  }
  reader.restart(input);
  RunTally again;
  NoFindings no_findings;
  DiffEdits edits(slot.entry.path, slot.patch, kSlotBudget, spill_to(patch_output_, index));
  analyse_lines(reader, rules, work_.mends, again, no_findings, &edits);
  if (!reader.failed()) edits.finish();
}

void ReportWindow::mend(std::size_t index, const CheckRules& rules, std::FILE*& input, Tools& tools,
                        FindingSink& sink) {
  Slot& slot = slots_[index % slots_.size()];
  LineReader& reader = tools.reader;
  // Each finding is told once the file is written, or known not to be:
  // only then can it say whether it was fixed.
  const std::optional<platform::FileStamp> as_read = platform::stamp_of(input);
  FindingLog& log = tools.log;
  log.clear();
  analyse_lines(reader, rules, work_.mends, slot.tally, log);
  const auto tell = [&](bool written) {
    if (!written) unmended(slot.tally);
    if (!log.replay(sink, written) && slot.entry.problem.empty()) {
      slot.entry.problem = problem_text(errno);
    }
  };
  // A file with nothing to mend is not touched, not even its time.
  if (reader.failed() || slot.tally.mended_lines == 0) return tell(false);
  const auto unwritten = [&](std::string problem) {
    slot.entry.kind = EntryKind::kUnwritten;
    slot.entry.problem = std::move(problem);
    tell(false);
  };
  if (!as_read || std::fseek(input, 0, SEEK_SET) != 0) return unwritten(problem_text(errno));
  // In place, as the classic fix writes a file over itself: a private copy
  // that takes the file's place only if all went well and the name still
  // holds the very file that was read, as it was read.
  bool changed = false;
  const std::unique_ptr<platform::OutputFile> output =
      platform::OutputFile::replace(slot.entry.path.c_str(), input, *as_read, changed);
  if (output == nullptr) {
    return unwritten(changed ? text::kScanChangedWhileChecked : problem_text(errno));
  }
  reader.restart(input);
  RunTally again;
  NoFindings no_findings;
  CopyStream copy(output->file());
  CopyEdits edits(copy);
  analyse_lines(reader, rules, work_.mends, again, no_findings, &edits);
  if (reader.failed()) {
    output->discard();
    slot.entry.problem = problem_text(errno != 0 ? errno : EIO);
    return tell(false);
  }
  // The input is closed first, as the classic fix closes it: some systems
  // replace no file that is open.
  const bool closed = std::fclose(input) == 0;
  input = nullptr;
  errno = 0;
  if (!closed) {
    output->discard();
    return unwritten(problem_text(errno != 0 ? errno : EIO));
  }
  if (!copy.flush() || !output->commit()) {
    return unwritten(output->changed() ? text::kScanChangedWhileChecked
                     : errno != 0      ? problem_text(errno)
                                       : problem_text(EIO));
  }
  tell(true);
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
      check(queued, own_tools_);
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
  Tools tools;
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return !queue_.empty() || finished_; });
      if (!take_queued(index)) return;
    }
    check(index, tools);
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
