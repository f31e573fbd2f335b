// The text report: one line a finding, as compilers write diagnostics, so
// that editors jump to them.
#include <algorithm>
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
  explicit TextPrinter(const ReportSettings& settings) : settings_(settings) {}

  // A path holding a control character is quoted and escaped as C writes
  // a string, so that one finding is always one line and nothing reaches
  // the terminal raw; other paths as they are.
  std::string path_field(const std::string& path) const override {
    const auto is_control = [](char c) {
      return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    };
    if (std::none_of(path.begin(), path.end(), is_control)) return path;
    std::string quoted = "\"";
    for (const char c : path) {
      switch (c) {
        case '\a':
          quoted += "\\a";
          break;
        case '\b':
          quoted += "\\b";
          break;
        case '\t':
          quoted += "\\t";
          break;
        case '\n':
          quoted += "\\n";
          break;
        case '\v':
          quoted += "\\v";
          break;
        case '\f':
          quoted += "\\f";
          break;
        case '\r':
          quoted += "\\r";
          break;
        case '"':
          quoted += "\\\"";
          break;
        case '\\':
          quoted += "\\\\";
          break;
        default:
          if (is_control(c)) {
            append_format(quoted, "\\%03o", static_cast<unsigned>(static_cast<unsigned char>(c)));
          } else {
            quoted += c;
          }
      }
    }
    return quoted + '"';
  }

  void finding(const std::string& path, const Finding& finding, std::string& out) const override {
    const char* name = path.c_str();
    const long long line = finding.line_number;
    if (finding.mended) return mended(name, finding, out);
    if (finding.fault != LineFault::kNone) return line_fault(name, finding, out);
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
        return append_format(out, text::kScanWarpError, name, line, finding.angle,
                             settings_.limits.error);
      case QuadFate::kWarning:
        if (settings_.list_warnings) {
          append_format(out, text::kScanWarpWarning, name, line, finding.angle,
                        settings_.limits.warning);
        }
        return;
      case QuadFate::kNoBand:
      case QuadFate::kLow:
        return;
    }
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& out) const override {
    const char* format = entry.kind == EntryKind::kFolder      ? text::kScanUnreadableFolder
                         : entry.kind == EntryKind::kSkipped   ? text::kScanSkipped
                         : entry.kind == EntryKind::kUnwritten ? text::kScanUnwritableFile
                                                               : text::kScanUnreadableFile;
    append_format(out, format, path.c_str(), entry.problem.c_str());
  }

  void summary(const ScanTotals& totals, std::string& out) const override {
    append_format(out, text::kScanSummaryFiles, totals.files, totals.unreadable);
    if (totals.unreadable_folders > 0) {
      append_format(out, text::kScanSummaryFolders, totals.unreadable_folders);
    }
    if (totals.skipped > 0) append_format(out, text::kScanSummarySkipped, totals.skipped);
    if (totals.unwritten > 0) append_format(out, text::kScanSummaryUnwritten, totals.unwritten);
    append_format(out, text::kScanSummaryQuads, totals.quads, totals.errors,
                  totals.files_with_errors, totals.warnings, totals.files_with_warnings,
                  totals.low);
    if (settings_.mending) {
      append_format(out, text::kScanSummaryFixed, totals.mended, totals.files_mended);
    }
    out += '\n';
  }

 private:
  static void line_fault(const char* name, const Finding& finding, std::string& out) {
    append_format(out, text::kScanLineFaultStart, name, finding.line_number);
    const int size = static_cast<int>(finding.text.size());
    const char* word = finding.text.data();
    const char* what = text::kLineTypeNames[finding.line_type];
    switch (finding.fault) {
      case LineFault::kInvalid:
        return append_format(out, text::kScanInvalidLine, finding.line_type);
      case LineFault::kUnknownColour:
        return append_format(out, text::kScanUnknownColour, size, word);
      case LineFault::kColour24:
        return append_format(out, text::kScanColour24, what);
      case LineFault::kEdgeColour:
        return append_format(out, text::kScanNotEdgeColour, what, size, word);
      case LineFault::kIdentical:
        if (finding.line_type == 3) return append_format(out, "%s", text::kScanIdenticalTriangle);
        return append_format(out, text::kScanIdenticalPoints, what);
      case LineFault::kCollinear:
        return append_format(out, "%s", text::kScanCollinearTriangle);
      case LineFault::kSingular:
        return append_format(out, "%s", text::kScanSingular);
      case LineFault::kDecimals:
        return append_format(out, text::kScanDecimals, size, word);
      case LineFault::kTrailingZeros:
        return append_format(out, text::kScanTrailingZeros, size, word);
      case LineFault::kLeadingZeros:
        return append_format(out, text::kScanLeadingZeros, size, word);
      case LineFault::kNone:
        return;
    }
  }

  static void mended(const char* name, const Finding& finding, std::string& out) {
    const long long line = finding.line_number;
    if (finding.fault == LineFault::kTrailingZeros || finding.fault == LineFault::kLeadingZeros) {
      return append_format(out, text::kScanFixedZeros, name, line,
                           static_cast<int>(finding.text.size()), finding.text.data());
    }
    if (finding.fault != LineFault::kNone) {
      return append_format(out, text::kScanFixedRemoved, name, line,
                           text::kLineTypeNames[finding.line_type]);
    }
    switch (finding.fate) {
      case QuadFate::kError:
      case QuadFate::kWarning:
        return append_format(out, text::kScanFixedWarp, name, line, finding.angle);
      case QuadFate::kNotConvex:
        return append_format(out, text::kScanFixedConcave, name, line);
      case QuadFate::kIdenticalCorners:
        return append_format(out, text::kScanFixedIdentical, name, line);
      case QuadFate::kCollinearCorners:
        return append_format(out, text::kScanFixedCollinear, name, line);
      case QuadFate::kInvalid:
      case QuadFate::kNoBand:
      case QuadFate::kLow:
        return;
    }
  }

  const ReportSettings settings_;
};

}  // namespace

std::unique_ptr<ReportPrinter> text_printer(const ReportSettings& settings) {
  return std::make_unique<TextPrinter>(settings);
}

}  // namespace skewquad
