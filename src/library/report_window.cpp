// The window of files in flight, and the report output.
#include "library/report_window.h"

#include <cerrno>
#include <new>
#include <system_error>

#include "check/check_loop.h"
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
  if (!platform::write_text(stream_, bytes) && error_ == 0) {
    error_ = errno != 0 ? errno : EIO;
  }
}

bool ReportOutput::finish() {
  if (std::fflush(stream_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
  if (std::ferror(stream_) != 0 && error_ == 0) error_ = EIO;
  return error_ == 0;
}

ReportWindow::ReportWindow(std::size_t slots, const CheckRules& rules, const ReportPrinter& printer,
                           ReportOutput& output)
    : slots_(slots), rules_(rules), printer_(printer), output_(output) {}

void ReportWindow::hand_out(std::size_t index, ScanEntry entry) {
  Slot& slot = slots_[index % slots_.size()];
  slot.entry = std::move(entry);
  slot.tally = {};
  slot.done = false;
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(index);
  }
  work_.notify_one();
}

void ReportWindow::check(std::size_t index, LineReader& reader) {
  Slot& slot = slots_[index % slots_.size()];
  const std::string path = printer_.path_field(slot.entry.path);
  if (slot.entry.problem.empty()) {
    bool not_regular = false;
    std::FILE* input = platform::open_regular_file(slot.entry.path.c_str(), not_regular);
    if (input == nullptr) {
      slot.entry.problem = not_regular ? "not a regular file" : problem_text(errno);
    } else {
      // Past the budget the report waits for its turn and is then written.
      PrintingSink sink(printer_, path, slot.report, kSlotBudget, [this, index](std::string& out) {
        std::unique_lock lock(mutex_);
        head_moved_.wait(lock, [this, index] { return head_ == index; });
        lock.unlock();
        output_.write(out);
        out.clear();
      });
      reader.restart(input);
      try {
        check_lines(reader, nullptr, rules_, {}, slot.tally, sink);
        if (reader.failed()) slot.entry.problem = problem_text(errno != 0 ? errno : EIO);
      } catch (const std::bad_alloc&) {
        slot.entry.problem = problem_text(ENOMEM);
      }
      std::fclose(input);
    }
  }
  // A file that could not be read, or not to its end, says so last.
  if (!slot.entry.problem.empty()) printer_.problem(path, slot.entry, slot.report);
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
  output_.write(slot.report);
  slot.report.clear();
  add_to_totals(slot.entry, slot.tally, totals);
  slot.entry = {};
}

void ReportWindow::work() {
  LineReader reader;
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [this] { return !queue_.empty() || finished_; });
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
  work_.notify_all();
}

}  // namespace skewquad
