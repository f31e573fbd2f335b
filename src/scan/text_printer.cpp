// The text report: one line a finding, as compilers write diagnostics, so
// that editors jump to them.
#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "ldraw/catalogue.h"
#include "scan/c_quoted.h"
#include "scan/report_printer.h"
#include "scan/scan_texts.h"

namespace skewquad {
namespace {

[[gnu::format(printf, 2, 3)]] void append_format(std::string& out, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int size = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(size) + 1);
  std::vsnprintf(out.data() + start, static_cast<std::size_t>(size) + 1, format, again);
  va_end(again);
  out.pop_back();
}

// A finding on its line, or on the file as a whole (line 0).
void append_finding(std::string& out, const std::string& path, const Finding& finding,
                    const char* what, const std::string& message) {
  if (finding.line_number == 0) {
    append_format(out, text::kScanFileFinding, path.c_str(), what, message.c_str());
  } else {
    append_format(out, text::kScanFinding, path.c_str(), finding.line_number, what,
                  message.c_str());
  }
}

class TextPrinter final : public ReportPrinter {
 public:
  explicit TextPrinter(const ReportSettings& settings) : settings_(settings) {}

  std::string path_field(const std::string& path) const override { return text_path(path); }

  void finding(const std::string& path, const Finding& finding, std::uint32_t /*occurrence*/,
               std::string& out) const override {
    // A mended line is told once, by the finding that carries its mend.
    if (finding.mended) {
      if (finding.role == MendRole::kCarrier) {
        append_finding(out, path, finding, "fixed", mend_message(finding));
      }
      return;
    }
    // Warnings are listed when asked for.
    if (finding.severity == Severity::kWarning && !settings_.list_warnings) return;
    append_finding(out, path, finding, severity_name(finding.severity),
                   finding_message(finding, settings_.limits));
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& out) override {
    if (entry.kind == EntryKind::kSameFile) {
      append_format(out, text::kScanSameFile, path.c_str(), path_field(entry.same_as).c_str());
      return;
    }
    const char* format = entry.kind == EntryKind::kFolder      ? text::kScanUnreadableFolder
                         : entry.kind == EntryKind::kSkipped   ? text::kScanSkipped
                         : entry.kind == EntryKind::kUnwritten ? text::kScanUnwritableFile
                         : entry.kind == EntryKind::kNotDiffed ? text::kScanNotDiffed
                                                               : text::kScanUnreadableFile;
    append_format(out, format, path.c_str(), entry.problem.c_str());
  }

  void summary(const ScanTotals& totals, std::string& out) override {
    append_format(out, text::kScanSummaryFiles, totals.files, totals.unreadable);
    if (totals.unreadable_folders > 0) {
      append_format(out, text::kScanSummaryFolders, totals.unreadable_folders);
    }
    if (totals.skipped > 0) append_format(out, text::kScanSummarySkipped, totals.skipped);
    if (totals.same_files > 0) {
      append_format(out, text::kScanSummarySameFiles, totals.same_files);
    }
    if (totals.unwritten > 0) append_format(out, text::kScanSummaryUnwritten, totals.unwritten);
    if (totals.not_diffed > 0) append_format(out, text::kScanSummaryNotDiffed, totals.not_diffed);
    append_format(out, text::kScanSummaryQuads, totals.quads, totals.errors,
                  totals.files_with_errors, totals.warnings, totals.files_with_warnings,
                  totals.low);
    if (settings_.mending) {
      append_format(out, text::kScanSummaryFixed, totals.mended, totals.files_mended);
    }
    out += '\n';
  }

 private:
  const ReportSettings settings_;
};

}  // namespace

std::string text_path(const std::string& path) {
  const auto is_control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
  return std::any_of(path.begin(), path.end(), is_control) ? c_quoted(path, false) : path;
}

std::unique_ptr<ReportPrinter> text_printer(const ReportSettings& settings) {
  return std::make_unique<TextPrinter>(settings);
}

}  // namespace skewquad
