// The SARIF 2.1.0 report: one log with one run, the tool and its rules
// first, then each result as it comes, then the invocation with the exit
// code and the paths that could not be read. Strings are written by
// nlohmann::json; the frame around them directly, so that the results
// stream and memory stays bounded.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <system_error>

#include "check/exit_status.h"
#include "ldraw/catalogue.h"
#include "platform/files.h"
#include "scan/report_printer.h"
#include "scan/scan_texts.h"
#include "text/utf16_length.h"

namespace skewquad {
namespace {

using Json = nlohmann::ordered_json;

std::string json_text(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A path's bytes as a URI reference: unreserved characters and '/' as they
// are, every other byte percent-encoded (RFC 3986).
std::string percent_encoded(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                            c == '~' || c == '/';
    if (unreserved) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 15];
    }
  }
  return uri;
}

// The path with '/' between its names, without a leading "./".
std::string slashed(std::string path) {
  for (char& c : path) {
    if (platform::is_separator(c)) c = '/';
  }
  while (path.starts_with("./")) path.erase(0, 2);
  return path;
}

// 64-bit FNV-1a (Fowler, Noll and Vo): offset basis 14695981039346656037,
// prime 1099511628211.
std::uint64_t fnv1a(std::uint64_t hash, std::string_view bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}

class SarifPrinter final : public ReportPrinter {
 public:
  explicit SarifPrinter(const ReportSettings& settings) : settings_(settings) {}

  void start(std::string& out) override {
    Json rule_list = Json::array();
    for (const CheckEntry& entry : catalogue()) {
      Json rule;
      rule["id"] = entry.name;
      rule["name"] = entry.name;
      rule["shortDescription"]["text"] = entry.short_description;
      rule["fullDescription"]["text"] = entry.full_description;
      rule["help"]["text"] = entry.help;
      rule["defaultConfiguration"]["level"] = "error";
      if (entry.mended != nullptr) rule["properties"]["mend"] = entry.mended;
      rule_list.push_back(rule);
    }
    Json driver;
    driver["name"] = "skewquad";
    driver["version"] = text::kScanVersionNumber;
    driver["informationUri"] = text::kInformationUri;
    driver["rules"] = rule_list;
    std::error_code error;
    std::string root = platform::name_of(std::filesystem::current_path(error));
    root = slashed(root);
    if (!root.ends_with('/')) root += '/';
    if (!root.starts_with('/')) root.insert(0, "/");
    out +=
        "{\"$schema\":\"https://docs.oasis-open.org/sarif/sarif/v2.1.0/errata01/os/schemas/"
        "sarif-schema-2.1.0.json\",\"version\":\"2.1.0\",\"runs\":[{\"tool\":{\"driver\":";
    out += json_text(driver);
    out += "},\"originalUriBaseIds\":{\"SRCROOT\":{\"uri\":";
    out += json_text("file://" + percent_encoded(root));
    out += "}},\"results\":[\n";
  }

  // The artifact location, then the path itself for the fingerprints.
  std::string path_field(const std::string& path) const override {
    const std::string name = slashed(path);
    Json location;
    if (name.starts_with('/')) {
      location["uri"] = "file://" + percent_encoded(name);
    } else {
      location["uri"] = percent_encoded(name);
      location["uriBaseId"] = "SRCROOT";
    }
    return json_text(location) + '\0' + name;
  }

  void finding(const std::string& path, const Finding& finding, std::uint32_t occurrence,
               std::string& out) const override {
    const std::size_t split = path.find('\0');
    const std::string_view location(path.data(), split);
    const std::string_view name = std::string_view(path).substr(split + 1);
    const char* check = check_name(finding.check);
    out += kItemSeparator;
    out += "{\"ruleId\":\"";
    out += check;
    out += "\",\"ruleIndex\":";
    out += std::to_string(static_cast<int>(finding.check));
    out += ",\"level\":\"";
    out += severity_name(finding.severity);
    out += "\",\"message\":{\"text\":";
    out += json_text(finding_message(finding, settings_.limits));
    out += "},\"locations\":[{\"physicalLocation\":{\"artifactLocation\":";
    out += location;
    // A finding of the file as a whole has the file for its place.
    if (finding.line_number > 0) {
      out += ",\"region\":{\"startLine\":";
      out += std::to_string(finding.line_number);
      out += '}';
    }
    out += "}}],\"partialFingerprints\":{\"skewquad/v1\":\"";
    // The path, the line's own text, the check and which of the findings on
    // lines alike it is: the same wherever the line moves in its file, and
    // no two alike in a file, as GitHub's own line hash counts.
    std::uint64_t hash = 14695981039346656037ULL;
    hash = fnv1a(hash, name);
    hash = fnv1a(hash, std::string_view("\0", 1));
    hash = fnv1a(hash, line_without_end(finding.line));
    hash = fnv1a(hash, std::string_view("\0", 1));
    hash = fnv1a(hash, check);
    if (occurrence > 0) {
      hash = fnv1a(hash, std::string_view("\0", 1));
      hash = fnv1a(hash, std::to_string(occurrence));
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    out += digits;
    out += "\"}";
    if (finding.role == MendRole::kCarrier) append_fix(location, finding, out);
    out += "}\n";
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& /*out*/) override {
    const std::size_t split = path.find('\0');
    Json notification;
    notification["level"] = entry.kind == EntryKind::kSkipped || entry.kind == EntryKind::kSameFile
                                ? "warning"
                                : "error";
    notification["message"]["text"] = problem_message(entry);
    notification["locations"] = Json::array();
    Json location;
    location["physicalLocation"]["artifactLocation"] = Json::parse(path.substr(0, split));
    notification["locations"].push_back(location);
    // Only the paths are held to the end, where the invocation lists them.
    notifications_.push_back(json_text(notification));
  }

  void summary(const ScanTotals& totals, std::string& out) override {
    const int status = scan_status(totals, settings_.fail_on);
    out += "],\"invocations\":[{\"executionSuccessful\":";
    out += status == exit_status::kSuccess || status == exit_status::kFindings ? "true" : "false";
    out += ",\"exitCode\":";
    out += std::to_string(status);
    out += ",\"toolExecutionNotifications\":[";
    for (std::size_t i = 0; i < notifications_.size(); ++i) {
      if (i > 0) out += ',';
      out += notifications_[i];
    }
    out += "]}]}]}\n";
  }

 private:
  // The mend as a SARIF fix: each line it replaces, or the line of the
  // finding.
  static void append_fix(std::string_view location, const Finding& finding, std::string& out) {
    std::string fix = ",\"fixes\":[{\"description\":{\"text\":";
    fix += json_text(mend_message(finding));
    fix += "},\"artifactChanges\":[{\"artifactLocation\":";
    fix += location;
    fix += ",\"replacements\":[";
    if (finding.mend.lines == nullptr) {
      append_replacement(finding.line_number, finding.line, finding.mend.replacement, fix);
    } else {
      bool first = true;
      const bool read = finding.mend.lines->for_each(
          [&](long long line, std::string_view was, std::string_view replacement) {
            if (!first) fix += ',';
            first = false;
            append_replacement(line, was, replacement, fix);
          });
      // A file that cannot be read again has its fix told by --fix alone.
      if (!read || first) return;
    }
    fix += "]}]}]";
    out += fix;
  }

  // The line `line` (its text `was`) replaced: its region replaced by the
  // mend's lines (its own end kept), or the whole line with its end
  // deleted (a last line without one up to its own end).
  static void append_replacement(long long line, std::string_view was, std::string_view replacement,
                                 std::string& out) {
    const std::string number = std::to_string(line);
    out += "{\"deletedRegion\":{\"startLine\":";
    out += number;
    if (replacement.empty()) {
      out += ",\"startColumn\":1,\"endLine\":";
      if (was.ends_with('\n')) {
        out += std::to_string(line + 1);
        out += ",\"endColumn\":1}}";
      } else {
        out += number;
        out += ",\"endColumn\":";
        out += std::to_string(utf16_length(was) + 1);
        out += "}}";
      }
      return;
    }
    out += "},\"insertedContent\":{\"text\":";
    out += json_text(std::string(line_without_end(replacement)));
    out += "}}";
  }

  const ReportSettings settings_;
  std::vector<std::string> notifications_;
};

}  // namespace

std::string problem_message(const ScanEntry& entry) {
  const char* what = entry.kind == EntryKind::kFolder ? "can't read folder: "
                     : entry.kind == EntryKind::kSkipped || entry.kind == EntryKind::kSameFile
                         ? "skipped: "
                     : entry.kind == EntryKind::kUnwritten ? "can't write file: "
                     : entry.kind == EntryKind::kNotDiffed ? "can't diff: "
                                                           : "can't read file: ";
  return what + entry.problem;
}

std::unique_ptr<ReportPrinter> sarif_printer(const ReportSettings& settings) {
  return std::make_unique<SarifPrinter>(settings);
}

}  // namespace skewquad
