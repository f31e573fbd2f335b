// Checking a document in memory.
#include "lsp/document_check.h"

#include "ldraw/catalogue.h"
#include "text/line_reader.h"

namespace skewquad::lsp {
namespace {

// The lines of a text, found in order.
class LineFinder {
 public:
  explicit LineFinder(std::string_view text) : text_(text) {}

  // The text of line `number` (from 1, never before the last asked for),
  // without its end; `ended` tells whether it has one.
  std::string_view line(long long number, bool& ended) {
    while (number_ < number && start_ < text_.size()) {
      const std::size_t end = text_.find('\n', start_);
      start_ = end == std::string_view::npos ? text_.size() : end + 1;
      ++number_;
    }
    const std::size_t end = text_.find('\n', start_);
    ended = end != std::string_view::npos;
    std::string_view line = text_.substr(start_, ended ? end - start_ : std::string_view::npos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

 private:
  std::string_view text_;
  std::size_t start_ = 0;
  long long number_ = 1;
};

class DiagnosticSink final : public FindingSink {
 public:
  DiagnosticSink(std::string_view text, const CheckRules& rules) : lines_(text), rules_(rules) {}

  void take(const Finding& finding) override {
    bool ended = false;
    const std::string_view line = lines_.line(finding.line_number, ended);
    Json diagnostic;
    const long long index = finding.line_number - 1;
    diagnostic["range"]["start"] = {{"line", index}, {"character", 0}};
    diagnostic["range"]["end"] = {{"line", index}, {"character", utf16_length(line)}};
    diagnostic["severity"] = finding.severity == Severity::kWarning ? 2 : 1;
    diagnostic["code"] = check_name(finding.check);
    diagnostic["source"] = "skewquad";
    diagnostic["message"] = finding_message(finding, rules_.limits);
    diagnostics.push_back(std::move(diagnostic));
  }

  Json diagnostics = Json::array();

 private:
  LineFinder lines_;
  const CheckRules& rules_;
};

class MendSink final : public FindingSink {
 public:
  explicit MendSink(std::string_view text) : lines_(text) {}

  void take(const Finding& finding) override {
    if (finding.role != MendRole::kCarrier) return;
    QuickFix& fix = fixes.emplace_back();
    fix.line = finding.line_number;
    fix.replacement.assign(finding.mend.replacement);
    fix.title = "skewquad: " + mend_message(finding);
    fix.line_utf16 = utf16_length(lines_.line(finding.line_number, fix.line_ended));
  }

  std::vector<QuickFix> fixes;

 private:
  LineFinder lines_;
};

}  // namespace

std::size_t utf16_length(std::string_view line) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < line.size();) {
    const auto lead = static_cast<unsigned char>(line[i]);
    const std::size_t size = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 1;
    bool whole = i + size <= line.size();
    for (std::size_t k = 1; whole && k < size; ++k) {
      whole = (static_cast<unsigned char>(line[i + k]) & 0xC0) == 0x80;
    }
    if (!whole) {
      units += 1;
      i += 1;
      continue;
    }
    units += size == 4 ? 2 : 1;
    i += size;
  }
  return units;
}

Json diagnostics_of(std::string_view text, const Analysis& analysis) {
  LineReader reader;
  reader.restart(text);
  RunTally tally;
  DiagnosticSink sink(text, analysis.rules);
  analyse_file(reader, analysis, tally, sink);
  return std::move(sink.diagnostics);
}

std::vector<QuickFix> mends_of(std::string_view text, const Analysis& analysis) {
  LineReader reader;
  reader.restart(text);
  RunTally tally;
  MendSink sink(text);
  Analysis mending = analysis;
  mending.mends = {true, MendLevel::kWarnings, true};
  analyse_file(reader, mending, tally, sink);
  return std::move(sink.fixes);
}

}  // namespace skewquad::lsp
