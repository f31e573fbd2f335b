// The JSON Lines report. Strings and angles are written by nlohmann::json
// (bytes of a path that are not UTF-8 become U+FFFD; an angle reads back as
// the same double); the fixed keys around them are written directly, so a
// finding costs no document of its own.
#include <nlohmann/json.hpp>

#include "ldraw/catalogue.h"
#include "scan/report_printer.h"
#include "scan/summary_json.h"

namespace skewquad {
namespace {

using Json = nlohmann::ordered_json;

std::string json_text(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

class JsonPrinter final : public ReportPrinter {
 public:
  explicit JsonPrinter(const ReportSettings& settings) : settings_(settings) {}

  std::string path_field(const std::string& path) const override { return json_text(path); }

  void finding(const std::string& path, const Finding& finding, std::uint32_t /*occurrence*/,
               std::string& out) const override {
    // A mended line is told once, by the finding that carries its mend.
    if (finding.mended && finding.role != MendRole::kCarrier) return;
    out += "{\"file\":";
    out += path;
    out += ",\"line\":";
    out += std::to_string(finding.line_number);
    out += finding.severity == Severity::kWarning ? ",\"severity\":\"warning\""
                                                  : ",\"severity\":\"error\"";
    out += ",\"check\":\"";
    out += check_name(finding.check);
    out += '"';
    // A finding of the file as a whole is of no line, nor of its type.
    if (finding.line_number > 0 && (finding.line_type != 4 || settings_.line_types)) {
      out += ",\"type\":";
      out += std::to_string(finding.line_type);
    }
    if (!finding.text.empty()) {
      out += ",\"text\":";
      out += json_text(std::string(finding.text));
    }
    if (finding.check == CheckId::kWarp) {
      out += ",\"angle\":";
      out += json_text(finding.angle);
    }
    if (finding.mended) {
      out += ",\"fixed\":true,\"became\":\"";
      out += became(finding, settings_.conditional);
      out += '"';
    }
    out += "}\n";
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& out) override {
    out += "{\"file\":";
    out += path;
    switch (entry.kind) {
      case EntryKind::kSkipped:
        out += ",\"severity\":\"warning\",\"check\":\"skipped\",\"message\":";
        break;
      case EntryKind::kSameFile:
        out += ",\"severity\":\"warning\",\"check\":\"same_file\",\"same_as\":";
        out += json_text(entry.same_as);
        out += ",\"message\":";
        break;
      case EntryKind::kUnwritten:
        out += ",\"severity\":\"error\",\"check\":\"unwritable\",\"message\":";
        break;
      case EntryKind::kNotDiffed:
        out += ",\"severity\":\"error\",\"check\":\"not_diffed\",\"message\":";
        break;
      case EntryKind::kFile:
      case EntryKind::kFolder:
        out += ",\"severity\":\"error\",\"check\":\"unreadable\",\"message\":";
        break;
    }
    out += json_text(entry.problem);
    out += "}\n";
  }

  void summary(const ScanTotals& totals, std::string& out) override {
    Json line;
    line["summary"] = summary_json(totals, settings_.mending);
    out += json_text(line);
    out += '\n';
  }

 private:
  const ReportSettings settings_;
};

}  // namespace

Json summary_json(const ScanTotals& totals, bool mending) {
  Json summary;
  summary["files"] = totals.files;
  summary["unreadable"] = totals.unreadable;
  summary["unreadable_folders"] = totals.unreadable_folders;
  summary["skipped"] = totals.skipped;
  summary["quads"] = totals.quads;
  summary["errors"] = totals.errors;
  summary["warnings"] = totals.warnings;
  summary["low"] = totals.low;
  if (totals.same_files > 0) summary["same_files"] = totals.same_files;
  if (mending) {
    summary["fixed"] = totals.mended;
    summary["files_fixed"] = totals.files_mended;
    summary["unwritten"] = totals.unwritten;
  }
  if (totals.not_diffed > 0) summary["not_diffed"] = totals.not_diffed;
  return summary;
}

std::unique_ptr<ReportPrinter> json_printer(const ReportSettings& settings) {
  return std::make_unique<JsonPrinter>(settings);
}

}  // namespace skewquad
