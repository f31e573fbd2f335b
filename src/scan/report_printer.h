// The library mode's report formats, one printer each, and the sink that
// prints one file's findings as the check core hands them over.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "check/finding.h"
#include "scan/library_walk.h"
#include "scan/scan_totals.h"
#include "records/run_records.h"

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
  /// Appends one finding of the file whose path_field is `path`.
  virtual void finding(const std::string& path, const Finding& finding, std::string& out) const = 0;
  /// Appends why the entry could not be read, after any findings of it.
  /// Called in walking order, from the reporting thread alone.
  virtual void problem(const std::string& path, const ScanEntry& entry, std::string& out) = 0;
  /// Appends the summary of the scan, and what closes the report.
  virtual void summary(const ScanTotals& totals, std::string& out) = 0;

  /// True when a file with findings is to be read again for file_text.
  virtual bool wants_file_text() const { return false; }
  /// Appends what the report shows of the text of a file with findings,
  /// read from `input` at its start, handing `out` to `when_full` as it
  /// grows; adds the names of the sub-files it refers to to `references`.
  /// Called from the file's worker.
  virtual void file_text(const std::string& /*path*/, std::FILE* /*input*/, std::string& /*out*/,
                         const std::function<void(std::string&)>& /*when_full*/,
                         std::vector<std::string>& /*references*/) const {}
  /// Appends what the report adds after a file, in walking order, from the
  /// reporting thread: the sub-files its text refers to.
  virtual void after_file(const ScanEntry& /*entry*/,
                          const std::vector<std::string>& /*references*/, std::string& /*out*/) {}
};

/// What a report says besides the findings.
struct ReportSettings {
  AngleLimits limits;
  bool list_warnings = false;  // text: list warnings that are not mended too
  bool mending = false;        // --fix or --diff: the summary counts the mends
  bool conditional = true;     // a warped quad's mend holds the conditional line
  bool line_types = false;     // JSON: every finding names its line's type
  FailOn fail_on = FailOn::kError;
};

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
/// file in a 3D view. `library` is the library root sub-files are looked up
/// in; empty: found above each file.
std::unique_ptr<ReportPrinter> html_printer(const ReportSettings& settings,
                                            const std::string& library);

/// GitHub workflow commands: an annotation a finding.
std::unique_ptr<ReportPrinter> github_printer(const ReportSettings& settings);

/// Text lines as compilers write diagnostics; warnings only when listed.
std::unique_ptr<ReportPrinter> text_printer(const ReportSettings& settings);

/// JSON Lines: one object a finding, every finding, then the summary.
std::unique_ptr<ReportPrinter> json_printer(const ReportSettings& settings);

/// The sink of one file: prints each finding into `out` as it comes, and
/// hands `out` to `when_full` whenever it holds `budget` bytes or more.
class PrintingSink final : public FindingSink {
 public:
  PrintingSink(const ReportPrinter& printer, std::string path, std::string& out, std::size_t budget,
               std::function<void(std::string&)> when_full)
      : printer_(printer),
        path_(std::move(path)),
        out_(out),
        budget_(budget),
        when_full_(std::move(when_full)) {}

  void take(const Finding& finding) override {
    printer_.finding(path_, finding, out_);
    if (out_.size() >= budget_) when_full_(out_);
  }

 private:
  const ReportPrinter& printer_;
  const std::string path_;
  std::string& out_;
  const std::size_t budget_;
  const std::function<void(std::string&)> when_full_;
};

}  // namespace skewquad
