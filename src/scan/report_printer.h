// The scan's report formats, one printer each, and the sink that
// prints one file's findings as the check core hands them over.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "check/finding.h"
#include "ldraw/library.h"
#include "records/run_records.h"
#include "scan/library_walk.h"
#include "scan/scan_totals.h"
#include "text/line_reader.h"

namespace skewquad {

/// One output format: how a finding, an unreadable path and the summary are
/// written. A printer holds no state of a file, so one serves every worker.
class ReportPrinter {
 public:
  ReportPrinter() = default;
  ReportPrinter(const ReportPrinter&) = delete;
  ReportPrinter& operator=(const ReportPrinter&) = delete;
  virtual ~ReportPrinter() = default;

  /// What opens the report.
  virtual void start(std::string& /*out*/) {}
  /// The path as this format writes it, worked out once a file.
  virtual std::string path_field(const std::string& path) const = 0;
  /// Appends one finding of the file whose path_field is `path`; it is the
  /// `occurrence`th (from 0) of the findings of its check on lines that
  /// read alike, in the file.
  virtual void finding(const std::string& path, const Finding& finding, std::uint32_t occurrence,
                       std::string& out) const = 0;
  /// Appends why the entry could not be read, after any findings of it.
  /// Called in walking order, from the reporting thread alone.
  virtual void problem(const std::string& path, const ScanEntry& entry, std::string& out) = 0;
  /// Appends the summary of the scan, and what closes the report.
  virtual void summary(const ScanTotals& totals, std::string& out) = 0;

  // A report that shows the files with findings, and the sub-files they
  // reach, is given their texts by the files' workers.

  /// True when a file with findings is to be read again for file_lines.
  virtual bool wants_file_text() const { return false; }
  /// Appends what the report shows of the text of a file with findings,
  /// read by `lines` from its start, handing `out` to `when_full` as it
  /// grows; returns the sub-files it names and its own sections.
  virtual FileReferences file_lines(const std::string& /*path*/, LineReader& /*lines*/,
                                    std::string& /*out*/,
                                    const std::function<void(std::string&)>& /*when_full*/) const {
    return {};
  }
  /// The same for the sub-file `name` (a sub_file_key), once a report.
  virtual FileReferences sub_file_lines(
      const std::string& /*name*/, LineReader& /*lines*/, std::string& /*out*/,
      const std::function<void(std::string&)>& /*when_full*/) const {
    return {};
  }
  /// Appends that the sub-file `name` (a sub_file_key), named by `from`,
  /// was not found.
  virtual void missing_sub_file(const std::string& /*name*/, const std::string& /*from*/,
                                std::string& /*out*/) const {}
  /// Appends the colours of a library whose files are shown, once a report.
  virtual void library_colours(const LibraryColours& /*colours*/, std::string& /*out*/) const {}
};

/// Report bytes a file holds before it is handed on: with 16 files in flight
/// a worker, 1 MiB a worker at most.
inline constexpr std::size_t kSlotBudget = std::size_t{64} * 1024;

/// What a report says besides the findings.
struct ReportSettings {
  AngleLimits limits;
  bool list_warnings = false;  // text: list warnings that are not mended too
  bool mending = false;        // --fix or --diff: the summary counts the mends
  bool conditional = true;     // a warped quad's mend holds the conditional line
  bool line_types = false;     // JSON: every finding names its line's type
  FailOn fail_on = FailOn::kError;
};

/// A path as text reports and notes write it: as it is, or, when it holds a
/// control character, in double quotes and escaped as C escapes a string,
/// so that it can neither forge a line nor reach a terminal raw.
std::string text_path(const std::string& path);

/// Why an entry could not be read or was skipped, as the reports say it
/// after the path ("can't read file: No such file or directory").
std::string problem_message(const ScanEntry& entry);

/// A list item of a report opens with this byte, which the report output
/// turns into the comma between items (a blank before the first): items are
/// printed by the workers before it is known which comes first.
inline constexpr char kItemSeparator = '\x1e';

/// SARIF 2.1.0: one log of one run, its results written as they come.
std::unique_ptr<ReportPrinter> sarif_printer(const ReportSettings& settings);

/// A self-contained HTML page: the findings in a table and each flagged
/// file in a 3D view.
std::unique_ptr<ReportPrinter> html_printer(const ReportSettings& settings);

/// GitHub workflow commands: an annotation a finding.
std::unique_ptr<ReportPrinter> github_printer(const ReportSettings& settings);

/// Text lines as compilers write diagnostics; warnings only when listed.
std::unique_ptr<ReportPrinter> text_printer(const ReportSettings& settings);

/// JSON Lines: one object a finding, every finding, then the summary.
std::unique_ptr<ReportPrinter> json_printer(const ReportSettings& settings);

/// How many findings of a check a file has had so far on lines that read
/// alike, in fixed room: each line's text and check fall in one of 65,536
/// counters, so that findings on lines alike, always in one counter, always
/// count differently (two other lines sharing it only add to the count).
class LineOccurrences {
 public:
  LineOccurrences() : counts_(kCounters, 0) {}

  /// The count of findings before this one in its counter.
  std::uint32_t next(const Finding& finding);

  /// Starts a file.
  void clear();

 private:
  static constexpr std::size_t kCounters = 65536;
  std::vector<std::uint32_t> counts_;
  std::vector<std::uint32_t> used_;  // counters not at 0
};

/// The text of a finding's line without its line end.
std::string_view line_without_end(std::string_view line);

/// The sink of one file: prints each finding into `out` as it comes, and
/// hands `out` to `when_full` whenever it holds `budget` bytes or more.
class PrintingSink final : public FindingSink {
 public:
  PrintingSink(const ReportPrinter& printer, std::string path, std::string& out, std::size_t budget,
               std::function<void(std::string&)> when_full, LineOccurrences& occurrences)
      : printer_(printer),
        path_(std::move(path)),
        out_(out),
        budget_(budget),
        when_full_(std::move(when_full)),
        occurrences_(occurrences) {
    occurrences_.clear();
  }

  void take(const Finding& finding) override {
    printer_.finding(path_, finding, occurrences_.next(finding), out_);
    if (out_.size() >= budget_) when_full_(out_);
  }

 private:
  const ReportPrinter& printer_;
  const std::string path_;
  std::string& out_;
  const std::size_t budget_;
  const std::function<void(std::string&)> when_full_;
  LineOccurrences& occurrences_;
};

}  // namespace skewquad
