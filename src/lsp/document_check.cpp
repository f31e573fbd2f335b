// Checking a document in memory.
#include "lsp/document_check.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "ldraw/catalogue.h"
#include "text/line_reader.h"

namespace skewquad::lsp {
namespace {

// Whether `text` is UTF-8 throughout.
bool is_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t size = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC2 ? 2
                                            : 0;
    if (size == 0 || i + size > text.size()) return false;
    for (std::size_t k = 1; k < size; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += size;
  }
  return true;
}

// A message as a JSON string: written directly, as a document's findings
// are many; through the general writer where it is not UTF-8.
void append_json_string(std::string& out, const std::string& text) {
  if (!is_utf8(text)) {
    out += Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

void append_number(std::string& out, std::size_t number) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

void append_position(std::string& out, const Position& position) {
  out += "{\"line\":";
  append_number(out, position.line);
  out += ",\"character\":";
  append_number(out, position.character);
  out += '}';
}

// Finds the scan lines of the findings, which come in line order.
class ScanLines {
 public:
  explicit ScanLines(std::string_view text) : text_(text) {}

  ScanLine line(long long number) {
    if (number < number_) {
      start_ = 0;
      number_ = 1;
    }
    const ScanLine found = scan_line(text_, number, start_, number_);
    start_ = found.start;
    number_ = number;
    return found;
  }

 private:
  std::string_view text_;
  std::size_t start_ = 0;
  long long number_ = 1;
};

class DiagnosticSink final : public FindingSink {
 public:
  DiagnosticSink(std::string_view text, const ProtocolLines& lines, const AngleLimits& limits)
      : scan_lines_(text), lines_(lines), limits_(limits) {}

  void take(const Finding& finding) override {
    // A finding of the file as a whole sits on the header's first line.
    const ScanLine line = scan_lines_.line(std::max(finding.line_number, 1LL));
    diagnostics += diagnostics.size() > 1 ? ",{\"range\":{\"start\":" : "{\"range\":{\"start\":";
    append_position(diagnostics, lines_.position_of(line.start));
    diagnostics += ",\"end\":";
    append_position(diagnostics, lines_.position_of(line.content_end));
    diagnostics += "},\"severity\":";
    diagnostics += finding.severity == Severity::kWarning ? '2' : '1';
    diagnostics += ",\"code\":\"";
    diagnostics += check_name(finding.check);
    diagnostics += "\",\"source\":\"skewquad\",\"message\":";
    append_json_string(diagnostics, finding_message(finding, limits_));
    diagnostics += '}';
  }

  std::string diagnostics = "[";

 private:
  ScanLines scan_lines_;
  const ProtocolLines& lines_;
  const AngleLimits& limits_;
};

// The quick fixes of the findings that carry a mend, on the scan lines from
// the one at `wanted_from` to the one at `wanted_to`, of a part of the text
// that starts at the scan line `first_line`.
class QuickFixSink final : public FindingSink {
 public:
  QuickFixSink(std::string_view text, const ProtocolLines& lines, std::size_t wanted_from,
               std::size_t wanted_to, long long first_line)
      : text_(text),
        scan_lines_(text),
        lines_(lines),
        wanted_from_(wanted_from),
        wanted_to_(wanted_to),
        first_line_(first_line) {}

  void take(const Finding& finding) override {
    if (finding.role != MendRole::kCarrier) return;
    const long long number = std::max(finding.line_number, 1LL) + first_line_ - 1;
    const ScanLine line = scan_lines_.line(number);
    if (line.start < wanted_from_ || line.start > wanted_to_) return;
    QuickFix fix;
    fix.line = number;
    fix.check = check_name(finding.check);
    fix.start = lines_.position_of(line.start);
    fix.end = lines_.position_of(line.next);
    fix.title = "skewquad: " + mend_message(finding);
    if (finding.mend.lines == nullptr) {
      fix.edits.push_back({fix.start, fix.end, std::string(finding.mend.replacement)});
    } else {
      // The lines a mend of the file as a whole replaces, found afresh.
      ScanLines replaced(text_);
      const bool read = finding.mend.lines->for_each(
          [&](long long at, std::string_view /*was*/, std::string_view replacement) {
            const ScanLine one = replaced.line(at);
            fix.edits.push_back({lines_.position_of(one.start), lines_.position_of(one.next),
                                 std::string(replacement)});
          });
      if (!read || fix.edits.empty()) return;
    }
    fixes.push_back(std::move(fix));
  }

  std::vector<QuickFix> fixes;

 private:
  std::string_view text_;
  ScanLines scan_lines_;
  const ProtocolLines& lines_;
  const std::size_t wanted_from_;
  const std::size_t wanted_to_;
  const long long first_line_;
};

// The analysis with every mend worked out, as the editor offers them.
Analysis mending(const Analysis& analysis) {
  Analysis with_mends = analysis;
  with_mends.mends = {true, MendLevel::kWarnings, true};
  return with_mends;
}

// The start of the scan line that holds the byte at `offset`.
std::size_t scan_line_start(std::string_view text, std::size_t offset) {
  const std::size_t newline = offset == 0 ? std::string_view::npos : text.rfind('\n', offset - 1);
  return newline == std::string_view::npos ? 0 : newline + 1;
}

}  // namespace

std::string diagnostics_of(std::string_view text, std::string_view path, const ProtocolLines& lines,
                           const Analysis& analysis) {
  LineReader reader;
  reader.restart(text);
  RunTally tally;
  DiagnosticSink sink(text, lines, analysis.rules.limits);
  analyse_file(reader, FileText{path, nullptr, text}, analysis, tally, sink);
  sink.diagnostics += ']';
  return std::move(sink.diagnostics);
}

std::vector<QuickFix> quick_fixes_in(std::string_view text, std::string_view path,
                                     const ProtocolLines& lines, const Analysis& analysis,
                                     std::size_t first, std::size_t last) {
  const std::size_t from = lines.offset_of_line(first);
  const std::size_t to = std::max(from, lines.offset_of_line(last + 1));
  // The scan lines that hold them, and the one before, whose line end a
  // last line without one is mended with.
  const std::size_t start = scan_line_start(text, from);
  const std::size_t last_start = to > from ? scan_line_start(text, to - 1) : start;
  const std::size_t part_start = start == 0 ? 0 : scan_line_start(text, start - 1);
  const std::size_t end = scan_line(text, 1, last_start).next;
  const long long first_line =
      1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(part_start), '\n');
  const std::string_view part = text.substr(part_start, end - part_start);
  Analysis lines_alone = mending(analysis);
  lines_alone.rules.lines.groups.file = false;
  LineReader reader;
  reader.restart(part);
  RunTally tally;
  QuickFixSink sink(text, lines, start, last_start, first_line);
  analyse_file(reader, FileText{}, lines_alone, tally, sink);
  if (analysis.rules.lines.groups.file) {
    // The file's own checks read all of it: their mends are found with
    // nothing else mended, so that each is whole on its own.
    Analysis file_alone = mending(analysis);
    file_alone.rules.lines.groups = CheckGroups{false, false, false, false, true};
    reader.restart(text);
    RunTally file_tally;
    QuickFixSink file_sink(text, lines, start, last_start, 1);
    analyse_file(reader, FileText{path, nullptr, text}, file_alone, file_tally, file_sink);
    sink.fixes.insert(sink.fixes.end(), std::make_move_iterator(file_sink.fixes.begin()),
                      std::make_move_iterator(file_sink.fixes.end()));
    std::stable_sort(sink.fixes.begin(), sink.fixes.end(),
                     [](const QuickFix& a, const QuickFix& b) { return a.line < b.line; });
  }
  return std::move(sink.fixes);
}

std::vector<QuickFix> all_quick_fixes(std::string_view text, std::string_view path,
                                      const ProtocolLines& lines, const Analysis& analysis) {
  LineReader reader;
  reader.restart(text);
  RunTally tally;
  QuickFixSink sink(text, lines, 0, text.size(), 1);
  analyse_file(reader, FileText{path, nullptr, text}, mending(analysis), tally, sink);
  return std::move(sink.fixes);
}

}  // namespace skewquad::lsp
