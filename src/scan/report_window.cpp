// The window of files in flight, and the report output.
#include "scan/report_window.h"

#include <cerrno>

#include "platform/console.h"

namespace skewquad {
void ReportOutput::write(std::string_view bytes) {
  if (bytes.empty()) return;
  if (before_write_) before_write_();
  if (separates_items_ && bytes.find(kItemSeparator) != std::string_view::npos) {
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
    : slots_(slots),
      work_(work),
      printer_(printer),
      report_output_(report),
      patch_output_(patch),
      own_job_(work_, printer_, shown_) {}

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

void ReportWindow::check(std::size_t index, FileJob& job) {
  Slot& slot = slots_[index % slots_.size()];
  job.run(slot.entry, slot.tally, {slot.report, spill_to(report_output_, index)},
          {slot.patch, spill_to(patch_output_, index)}, slot.sub_files);
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
      check(queued, own_job_);
      slots_[queued % slots_.size()].done = true;
    }
  }
  {
    std::unique_lock lock(mutex_);
    checked_.wait(lock, [&slot] { return slot.done; });
  }
  // The sub-files it reaches, shown here in the files' order whatever
  // order the workers finished in.
  own_job_.show_sub_files(slot.sub_files, {slot.report, [this](std::string& out) {
                                             report_output_.write(out);
                                             out.clear();
                                           }});
  // A file that could not be read, or not to its end, says so last.
  if (!slot.entry.problem.empty()) {
    printer_.problem(printer_.path_field(slot.entry.path), slot.entry, slot.report);
  }
  report_output_.write(slot.report);
  slot.report.clear();
  patch_output_.write(slot.patch);
  slot.patch.clear();
  add_to_totals(slot.entry, slot.tally, totals);
  slot.entry = {};
}

void ReportWindow::work() {
  FileJob job(work_, printer_, shown_);
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return !queue_.empty() || finished_; });
      if (!take_queued(index)) return;
    }
    check(index, job);
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
