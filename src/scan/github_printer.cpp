// GitHub workflow commands: each finding an annotation on its file and line
// (::error, ::warning, ::notice for a mend), escaped as GitHub reads them.
#include "ldraw/catalogue.h"
#include "platform/files.h"
#include "scan/report_printer.h"

namespace skewquad {
namespace {

// A workflow command's message: '%', CR and LF escaped; a property's value
// also ':' and ','.
std::string command_escaped(std::string_view text, bool property) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '%':
        escaped += "%25";
        break;
      case '\r':
        escaped += "%0D";
        break;
      case '\n':
        escaped += "%0A";
        break;
      case ':':
        escaped += property ? "%3A" : ":";
        break;
      case ',':
        escaped += property ? "%2C" : ",";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

class GithubPrinter final : public ReportPrinter {
 public:
  explicit GithubPrinter(const ReportSettings& settings) : settings_(settings) {}

  // The path as the runner reads a file= property: '/' between names, as
  // on every system the repository's paths are, and never beginning with
  // '=', which the runner would take for the separator ("./" before it).
  std::string path_field(const std::string& path) const override {
    std::string slashed = path;
    for (char& c : slashed) {
      if (platform::is_separator(c)) c = '/';
    }
    if (slashed.starts_with('=')) slashed.insert(0, "./");
    return command_escaped(slashed, true);
  }

  void finding(const std::string& path, const Finding& finding, std::uint32_t /*occurrence*/,
               std::string& out) const override {
    // A mended line is told once, by the finding that carries its mend.
    if (finding.mended && finding.role != MendRole::kCarrier) return;
    const char* command = finding.mended ? "notice" : severity_name(finding.severity);
    out += "::";
    out += command;
    out += " file=";
    out += path;
    // A finding of the file as a whole is on the file, on no line.
    if (finding.line_number > 0) {
      out += ",line=";
      out += std::to_string(finding.line_number);
    }
    out += ",title=";
    out += check_name(finding.check);
    out += "::";
    out += command_escaped(finding.mended ? "fixed: " + mend_message(finding)
                                          : finding_message(finding, settings_.limits),
                           false);
    out += '\n';
  }

  void problem(const std::string& path, const ScanEntry& entry, std::string& out) override {
    const bool skipped = entry.kind == EntryKind::kSkipped || entry.kind == EntryKind::kSameFile;
    out += skipped ? "::warning file=" : "::error file=";
    out += path;
    out += ",title=";
    out += skipped ? "skipped" : entry.kind == EntryKind::kUnwritten ? "unwritable" : "unreadable";
    out += "::";
    out += command_escaped(problem_message(entry), false);
    out += '\n';
  }

  void summary(const ScanTotals& totals, std::string& out) override {
    // The summary as the text report has it, as a log line of its own.
    text_printer(settings_)->summary(totals, out);
  }

 private:
  const ReportSettings settings_;
};

}  // namespace

std::unique_ptr<ReportPrinter> github_printer(const ReportSettings& settings) {
  return std::make_unique<GithubPrinter>(settings);
}

}  // namespace skewquad
