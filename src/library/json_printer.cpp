// The JSON Lines report. Strings and angles are written by nlohmann::json
// (bytes of a path that are not UTF-8 become U+FFFD; an angle reads back as
// the same double); the fixed keys around them are written directly, so a
// finding costs no document of its own.
#include <nlohmann/json.hpp>

#include "library/report_printer.h"

namespace skewquad {
namespace {

using Json = nlohmann::ordered_json;

std::string json_text(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The name of each check as JSON gives it.
const char* check_name(QuadFate fate) {
  switch (fate) {
    case QuadFate::kInvalid:
      return "invalid";
    case QuadFate::kIdenticalCorners:
      return "identical";
    case QuadFate::kCollinearCorners:
      return "collinear";
    case QuadFate::kNotConvex:
      return "not_convex";
    case QuadFate::kNoBand:
    case QuadFate::kLow:
    case QuadFate::kWarning:
    case QuadFate::kError:
      break;
  }
  return "warp";
}

class JsonPrinter final : public ReportPrinter {
 public:
  std::string path_field(const std::string& path) const override { return json_text(path); }

  void finding(const std::string& path, const Finding& finding, std::string& out) const override {
    out += "{\"file\":";
    out += path;
    out += ",\"line\":";
    out += std::to_string(finding.line_number);
    out += finding.fate == QuadFate::kWarning ? ",\"severity\":\"warning\""
                                              : ",\"severity\":\"error\"";
    out += ",\"check\":\"";
    out += check_name(finding.fate);
    out += '"';
    if (!is_fault(finding.fate)) {
      out += ",\"angle\":";
      out += json_text(finding.angle);
    }
    out += "}\n";
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& out) const override {
    out += "{\"file\":";
    out += path;
    out += entry.kind == EntryKind::kSkipped
               ? ",\"severity\":\"warning\",\"check\":\"skipped\",\"message\":"
               : ",\"severity\":\"error\",\"check\":\"unreadable\",\"message\":";
    out += json_text(entry.problem);
    out += "}\n";
  }

  void summary(const ScanTotals& totals, std::string& out) const override {
    Json summary;
    summary["files"] = totals.files;
    summary["unreadable"] = totals.unreadable;
    summary["unreadable_folders"] = totals.unreadable_folders;
    summary["skipped"] = totals.skipped;
    summary["quads"] = totals.quads;
    summary["errors"] = totals.errors;
    summary["warnings"] = totals.warnings;
    summary["low"] = totals.low;
    Json line;
    line["summary"] = summary;
    out += json_text(line);
    out += '\n';
  }
};

}  // namespace

std::unique_ptr<ReportPrinter> json_printer() { return std::make_unique<JsonPrinter>(); }

}  // namespace skewquad
