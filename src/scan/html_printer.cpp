// The HTML report: one self-contained page. Its style, script and markup are
// embedded at build time; the data follow them as JSON lines inside one
// script element of plain text, written as the scan goes: each finding, each
// unreadable path, the text of each file with findings (its drawing lines,
// deflated into base64 where the build can, inflated and parsed by the page
// only when the file's view opens), each sub-file those refer to, once, and
// the colours of the library. Every string is JSON with '<', '>' and '&'
// escaped, and base64 holds none of them, so nothing a path or a file holds
// can close the element or become markup.
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <system_error>

#include "ldraw/catalogue.h"
#include "ldraw/ldconfig.h"
#include "platform/files.h"
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

namespace fs = std::filesystem;
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

// A sub-file's name as LDraw looks it up: any case, '\\' or '/'.
std::string name_key(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '\\') c = '/';
  }
  return key;
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
// after `opening` to close its record; the sub-files named by its type-1
// lines that are not its own MPD sections go to `references`.
void append_lines(std::FILE* input, const std::string& opening, std::string& out,
                  const std::function<void(std::string&)>& when_full,
                  std::vector<std::string>& references) {
  constexpr std::size_t kBudget = std::size_t{64} * 1024;
  LineReader reader(input);
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
      if (section) sections.insert(name_key(words.rest));
      if (!section &&
          !(words.count == 2 && (words.words[1] == "NOFILE" || words.words[1] == "!:"))) {
        continue;
      }
    } else if (type < 1 || type > 5) {
      continue;
    }
    if (type == 1) {
      const LineWords words = split_words(line, 14);
      if (words.count == 14 && !words.rest.empty()) named.insert(name_key(words.rest));
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
    if (out.size() >= kBudget) when_full(out);
  }
  emit("]");
  if (deflated) {
    deflated->finish();
    out += '"';
  }
  out += "}\n";
  for (const std::string& name : named) {
    if (sections.count(name) == 0) references.push_back(name);
  }
}

class HtmlPrinter final : public ReportPrinter {
 public:
  HtmlPrinter(const ReportSettings& settings, const std::string& library)
      : settings_(settings), library_(library) {}

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

  void finding(const std::string& path, const Finding& finding, std::string& out) const override {
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

  void file_text(const std::string& path, std::FILE* input, std::string& out,
                 const std::function<void(std::string&)>& when_full,
                 std::vector<std::string>& references) const override {
    append_lines(input, "{\"g\":" + path, out, when_full, references);
  }

  void after_file(const ScanEntry& entry, const std::vector<std::string>& references,
                  std::string& out) override {
    if (references.empty()) return;
    const fs::path file = platform::path_of(entry.path);
    const fs::path folder = file.parent_path();
    const fs::path root = library_root(folder);
    if (!root.empty() && colour_roots_.insert(platform::name_of(root)).second) {
      append_colours(root, out);
    }
    // Each sub-file once, and those it refers to in turn.
    std::vector<std::pair<std::string, fs::path>> wanted;
    wanted.reserve(references.size());
    for (const std::string& name : references) wanted.emplace_back(name, folder);
    while (!wanted.empty()) {
      const auto [name, from] = wanted.back();
      wanted.pop_back();
      if (!looked_up_.insert(name).second) continue;
      const fs::path found = find_sub_file(name, from, root);
      bool not_regular = false;
      std::FILE* input = found.empty() ? nullptr
                                       : platform::open_regular_file(
                                             platform::name_of(found).c_str(), not_regular);
      if (input == nullptr) {
        out += "{\"missing\":" + safe_json(name) + ",\"from\":" + safe_json(entry.path) + "}\n";
        continue;
      }
      std::vector<std::string> more;
      append_lines(
          input, "{\"sub\":" + safe_json(name), out, [](std::string&) {}, more);
      std::fclose(input);
      for (const std::string& next : more) wanted.emplace_back(next, found.parent_path());
    }
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
  // The library holding `folder`: the one given, or the nearest folder at
  // or above it that holds parts/ and p/.
  fs::path library_root(const fs::path& folder) {
    if (!library_.empty()) return platform::path_of(library_);
    const auto known = roots_.find(folder);
    if (known != roots_.end()) return known->second;
    std::error_code error;
    fs::path at = fs::absolute(folder, error);
    fs::path root;
    while (!error) {
      if (fs::is_directory(at / "parts", error) && fs::is_directory(at / "p", error)) {
        root = at;
        break;
      }
      if (!at.has_relative_path()) break;
      at = at.parent_path();
    }
    roots_[folder] = root;
    return root;
  }

  // Where LDraw looks for a sub-file: the referring file's folder, then the
  // library's parts/, parts/s/, p/, p/48/ and p/8/.
  static fs::path find_sub_file(const std::string& name, const fs::path& from,
                                const fs::path& root) {
    std::vector<fs::path> folders = {from};
    if (!root.empty()) {
      for (const char* below : {"parts", "parts/s", "p", "p/48", "p/8"}) {
        folders.push_back(root / below);
      }
    }
    std::error_code error;
    for (const fs::path& folder : folders) {
      fs::path candidate = folder / platform::path_of(name);
      if (fs::is_regular_file(candidate, error)) return candidate;
      // Names are looked up in any case; the library's files are lower case
      // on every system but some.
      fs::path lower = folder / platform::path_of(name_key(name));
      if (fs::is_regular_file(lower, error)) return lower;
    }
    return {};
  }

  // The colours LDConfig.ldr gives: code, then its value and edge.
  static void append_colours(const fs::path& root, std::string& out) {
    bool not_regular = false;
    std::FILE* input =
        platform::open_regular_file(platform::name_of(root / kLdconfigName).c_str(), not_regular);
    if (input == nullptr) return;
    Json colours = Json::object();
    LineReader reader(input);
    std::string_view piece;
    while (reader.next(piece)) {
      const LineWords words = split_words(piece, LineWords::kMostWords);
      if (words.count < 2 || words.words[1] != "!COLOUR") continue;
      std::string code;
      std::string value;
      std::string edge;
      for (int i = 2; i + 1 < words.count; ++i) {
        if (words.words[i] == "CODE") code = words.words[i + 1];
        if (words.words[i] == "VALUE") value = words.words[i + 1];
        if (words.words[i] == "EDGE") edge = words.words[i + 1];
      }
      if (!code.empty() && value.starts_with('#')) colours[code] = Json::array({value, edge});
    }
    std::fclose(input);
    out += safe_json(Json{{"colours", colours}});
    out += '\n';
  }

  const ReportSettings settings_;
  const std::string library_;
  std::map<fs::path, fs::path> roots_;
  std::set<std::string> looked_up_;
  std::set<std::string> colour_roots_;
};

}  // namespace

std::unique_ptr<ReportPrinter> html_printer(const ReportSettings& settings,
                                            const std::string& library) {
  return std::make_unique<HtmlPrinter>(settings, library);
}

}  // namespace skewquad
