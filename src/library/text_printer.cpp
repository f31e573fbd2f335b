// The text report: one line a finding, as compilers write diagnostics, so
// that editors jump to them.
#include <cstdarg>
#include <cstdio>

#include "library/library_texts.h"
#include "library/report_printer.h"

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

class TextPrinter final : public ReportPrinter {
 public:
  TextPrinter(const AngleLimits& limits, bool list_warnings)
      : limits_(limits), list_warnings_(list_warnings) {}

  std::string path_field(const std::string& path) const override { return path; }

  void finding(const std::string& path, const Finding& finding, std::string& out) const override {
    const char* name = path.c_str();
    const long long line = finding.line_number;
    switch (finding.fate) {
      case QuadFate::kInvalid:
        return append_format(out, text::kScanInvalid, name, line);
      case QuadFate::kIdenticalCorners:
        return append_format(out, text::kScanIdentical, name, line);
      case QuadFate::kCollinearCorners:
        return append_format(out, text::kScanCollinear, name, line);
      case QuadFate::kNotConvex:
        return append_format(out, text::kScanNotConvex, name, line);
      case QuadFate::kError:
        return append_format(out, text::kScanWarpError, name, line, finding.angle, limits_.error);
      case QuadFate::kWarning:
        if (list_warnings_) {
          append_format(out, text::kScanWarpWarning, name, line, finding.angle, limits_.warning);
        }
        return;
      case QuadFate::kNoBand:
      case QuadFate::kLow:
        return;
    }
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& out) const override {
    append_format(out, entry.is_folder ? text::kScanUnreadableFolder : text::kScanUnreadableFile,
                  path.c_str(), entry.problem.c_str());
  }

  void summary(const ScanTotals& totals, std::string& out) const override {
    append_format(out, text::kScanSummary, totals.files, totals.unreadable, totals.quads,
                  totals.errors, totals.files_with_errors, totals.warnings,
                  totals.files_with_warnings, totals.low);
  }

 private:
  const AngleLimits limits_;
  const bool list_warnings_;
};

}  // namespace

std::unique_ptr<ReportPrinter> text_printer(const AngleLimits& limits, bool list_warnings) {
  return std::make_unique<TextPrinter>(limits, list_warnings);
}

}  // namespace skewquad
