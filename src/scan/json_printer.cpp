// The JSON Lines report. Strings and angles are written by nlohmann::json
// (bytes of a path that are not UTF-8 become U+FFFD; an angle reads back as
// the same double); the fixed keys around them are written directly, so a
// finding costs no document of its own.
#include <nlohmann/json.hpp>

#include "ldraw/messages.h"
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

  void finding(const std::string& path, const Finding& finding, std::string& out) const override {
    out += "{\"file\":";
    out += path;
    out += ",\"line\":";
    out += std::to_string(finding.line_number);
    out += finding.fate == QuadFate::kWarning ? ",\"severity\":\"warning\""
                                              : ",\"severity\":\"error\"";
    out += ",\"check\":\"";
    out += check_name(finding);
    out += '"';
    if (finding.fault != LineFault::kNone || settings_.line_types) {
      out += ",\"type\":";
      out += std::to_string(finding.line_type);
    }
    if (!finding.text.empty()) {
      out += ",\"text\":";
      out += json_text(std::string(finding.text));
    }
    if (finding.fault == LineFault::kNone && !is_fault(finding.fate)) {
      out += ",\"angle\":";
      out += json_text(finding.angle);
    }
    if (finding.mended) {
      out += ",\"fixed\":true,\"became\":\"";
      out += became(finding);
      out += '"';
    }
    out += "}\n";
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& out) override {
    out += "{\"file\":";
    out += path;
    out += entry.kind == EntryKind::kSkipped
               ? ",\"severity\":\"warning\",\"check\":\"skipped\",\"message\":"
           : entry.kind == EntryKind::kUnwritten
               ? ",\"severity\":\"error\",\"check\":\"unwritable\",\"message\":"
               : ",\"severity\":\"error\",\"check\":\"unreadable\",\"message\":";
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
  // What a mended quad's line became.
  const char* became(const Finding& finding) const {
    if (finding.fault == LineFault::kTrailingZeros || finding.fault == LineFault::kLeadingZeros) {
      return "the same number without needless zeros";
    }
    if (finding.fault != LineFault::kNone) return "nothing";
    switch (finding.fate) {
      case QuadFate::kError:
      case QuadFate::kWarning:
        return settings_.conditional ? "2 triangles and a conditional line" : "2 triangles";
      case QuadFate::kNotConvex:
        return "2 triangles";
      default:
        return "1 triangle";
    }
  }

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
  if (mending) {
    summary["fixed"] = totals.mended;
    summary["files_fixed"] = totals.files_mended;
    summary["unwritten"] = totals.unwritten;
  }
  return summary;
}

std::unique_ptr<ReportPrinter> json_printer(const ReportSettings& settings) {
  return std::make_unique<JsonPrinter>(settings);
}

}  // namespace skewquad
