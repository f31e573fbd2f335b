// The HTML report: one self-contained page. Its style, script and markup are
// embedded at build time; the data follow them as JSON lines inside one
// script element of plain text, written as the scan goes: each finding, each
// unreadable path, the text of each file with findings (its drawing lines,
// deflated into base64 where the build can, inflated and parsed by the page
// only when the file's view opens), each sub-file those refer to, once, and
// the colours of the library. Every string is JSON with '<', '>' and '&'
// escaped, and base64 holds none of them, so nothing a path or a file holds
// can close the element or become markup.
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "ldraw/catalogue.h"
#include "scan/deflated_text.h"
#include "scan/report_printer.h"
#include "scan/scan_texts.h"
#include "scan/summary_json.h"
#include "text/line_reader.h"
#include "text/line_words.h"
#include "text/quad_line_reader.h"

namespace skewquad {
namespace embedded {
extern const std::string_view kReportCss;
extern const std::string_view kReportJs;
extern const std::string_view kReportHtml;
}  // namespace embedded

namespace {

using Json = nlohmann::ordered_json;

// A string as JSON that may stand inside an HTML script element.
std::string safe_json(const Json& value) {
  const std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
  std::string safe;
  safe.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '<':
        safe += "\\u003c";
        break;
      case '>':
        safe += "\\u003e";
        break;
      case '&':
        safe += "\\u0026";
        break;
      default:
        safe += c;
    }
  }
  return safe;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                           text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

// The drawing lines of a text (types 1 to 5, texture-map lines and the MPD
// markers) as a JSON array of [line number, text] pairs, deflated into a
// base64 string "z" where the build can, or as "lines", appended to `out`
// after `opening` to close its record; returns the sub-files named by its
// type-1 lines and its own MPD sections.
FileReferences append_lines(LineReader& reader, const std::string& opening, std::string& out,
                            const std::function<void(std::string&)>& when_full) {
  std::string_view piece;
  long long number = 0;
  bool at_line_start = true;
  bool first = true;
  std::set<std::string> sections;
  std::set<std::string> named;
  out += opening;
  std::optional<DeflatedText> deflated;
  if (can_deflate()) {
    out += ",\"z\":\"";
    deflated.emplace(out);
  } else {
    out += ",\"lines\":";
  }
  std::string pair;
  const auto emit = [&](std::string_view text) {
    if (deflated) {
      deflated->add(text);
    } else {
      out += text;
    }
  };
  emit("[");
  while (reader.next(piece)) {
    const bool starts_line = at_line_start;
    at_line_start = piece.back() == '\n';
    if (!starts_line) continue;
    ++number;
    const std::int32_t type = probe_line_type(piece);
    const std::string_view line = trimmed(piece);
    if (type == 0) {
      const LineWords words = split_words(line, 2);
      const bool section = words.count == 2 && words.words[1] == "FILE";
      if (section) sections.insert(sub_file_key(words.rest));
      if (!section &&
          !(words.count == 2 && (words.words[1] == "NOFILE" || words.words[1] == "!:"))) {
        continue;
      }
    } else if (type < 1 || type > 5) {
      continue;
    }
    if (type == 1) {
      const LineWords words = split_words(line, 14);
      if (words.count == 14 && !words.rest.empty()) named.insert(std::string(words.rest));
    }
    pair.clear();
    if (!first) pair += ',';
    first = false;
    pair += '[';
    pair += std::to_string(number);
    pair += ',';
    pair += safe_json(std::string(line));
    pair += ']';
    emit(pair);
    if (out.size() >= kSlotBudget) when_full(out);
  }
  emit("]");
  if (deflated) {
    deflated->finish();
    out += '"';
  }
  out += "}\n";
  FileReferences references;
  references.sections.assign(sections.begin(), sections.end());
  for (const std::string& name : named) {
    if (sections.count(sub_file_key(name)) == 0) references.names.push_back(name);
  }
  return references;
}

class HtmlPrinter final : public ReportPrinter {
 public:
  explicit HtmlPrinter(const ReportSettings& settings) : settings_(settings) {}

  void start(std::string& out) override {
    out +=
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>skewquad report</title>\n<style>\n";
    out += embedded::kReportCss;
    out += "</style>\n</head>\n<body>\n";
    out += embedded::kReportHtml;
    out += "<script type=\"text/plain\" id=\"sq-data\">\n";
    Json run;
    run["version"] = text::kScanVersionNumber;
    run["warning"] = settings_.limits.warning;
    run["error"] = settings_.limits.error;
    out += safe_json(Json{{"run", run}});
    out += '\n';
  }

  std::string path_field(const std::string& path) const override { return safe_json(path); }

  void finding(const std::string& path, const Finding& finding, std::uint32_t /*occurrence*/,
               std::string& out) const override {
    out += "{\"f\":";
    out += path;
    out += ",\"l\":";
    out += std::to_string(finding.line_number);
    out += ",\"c\":\"";
    out += check_name(finding.check);
    out += "\",\"s\":\"";
    out += severity_name(finding.severity);
    out += "\",\"t\":";
    out += std::to_string(finding.line_type);
    if (finding.check == CheckId::kWarp) {
      out += ",\"a\":";
      out += safe_json(finding.angle);
    }
    out += ",\"m\":";
    out += safe_json(finding_message(finding, settings_.limits));
    out += "}\n";
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& out) override {
    out += "{\"p\":";
    out += path;
    out += ",\"m\":";
    out += safe_json(problem_message(entry));
    out += ",\"s\":\"";
    out += entry.kind == EntryKind::kSkipped ? "warning" : "error";
    out += "\"}\n";
  }

  bool wants_file_text() const override { return true; }

  FileReferences file_lines(const std::string& path, LineReader& lines, std::string& out,
                            const std::function<void(std::string&)>& when_full) const override {
    return append_lines(lines, "{\"g\":" + path, out, when_full);
  }

  FileReferences sub_file_lines(const std::string& name, LineReader& lines, std::string& out,
                                const std::function<void(std::string&)>& when_full) const override {
    return append_lines(lines, "{\"sub\":" + safe_json(name), out, when_full);
  }

  void missing_sub_file(const std::string& name, const std::string& from,
                        std::string& out) const override {
    out += "{\"missing\":" + safe_json(name) + ",\"from\":" + safe_json(from) + "}\n";
  }

  // The colours LDConfig.ldr gives: code, then its value and edge.
  void library_colours(const LibraryColours& colours, std::string& out) const override {
    Json shown = Json::object();
    for (const LibraryColour& colour : colours.colours) {
      if (colour.value.starts_with('#')) {
        shown[std::to_string(colour.code)] = Json::array({colour.value, colour.edge});
      }
    }
    out += safe_json(Json{{"colours", shown}});
    out += '\n';
  }

  void summary(const ScanTotals& totals, std::string& out) override {
    Json summary = summary_json(totals, settings_.mending);
    summary["status"] = scan_status(totals, settings_.fail_on);
    out += safe_json(Json{{"summary", summary}});
    out += "\n</script>\n<script>\n";
    out += embedded::kReportJs;
    out += "</script>\n</body>\n</html>\n";
  }

 private:
  const ReportSettings settings_;
};

}  // namespace

std::unique_ptr<ReportPrinter> html_printer(const ReportSettings& settings) {
  return std::make_unique<HtmlPrinter>(settings);
}

}  // namespace skewquad
