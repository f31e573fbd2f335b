// The analysis of a file.
#include "ldraw/analysis.h"

namespace skewquad {
namespace {

// The lines a part certified CW replaces as it is made CCW: its BFC lines
// and the faces no other mend writes, found by reading it again as the
// mend writes it.
class ReversedLines final : public LineReplacements {
 public:
  ReversedLines(const FileText& file, const CheckRules& rules, const MendRules& mends)
      : file_(file), rules_(rules), mends_(mends) {}

  // The reading whose facts a second reading goes by.
  const FileChecks* first = nullptr;

  bool for_each(const std::function<void(long long, std::string_view, std::string_view)>& take)
      const override {
    return read_again(file_, [&](LineReader& reader) {
      const FileFacts facts = first->facts();
      FileChecks checks(file_, true, &facts);
      Taken taken(take);
      RunTally tally;
      NoFindings no_findings;
      analyse_lines(reader, rules_, mends_, tally, no_findings, &taken, &checks);
    });
  }

 private:
  // Each line replaced as part of the reversal, told with its number.
  class Taken final : public LineEdits {
   public:
    explicit Taken(const std::function<void(long long, std::string_view, std::string_view)>& take)
        : take_(take) {}
    void keep(std::string_view piece) override {
      if (at_line_start_) ++number_;
      at_line_start_ = piece.back() == '\n';
    }
    void replace(std::string_view line, std::string_view replacement, MendKind kind) override {
      ++number_;
      at_line_start_ = true;
      if (kind == MendKind::kReversed || kind == MendKind::kCertifiedCcw) {
        take_(number_, line, replacement);
      }
    }

   private:
    const std::function<void(long long, std::string_view, std::string_view)>& take_;
    long long number_ = 0;
    bool at_line_start_ = true;
  };

  const FileText& file_;
  const CheckRules& rules_;
  const MendRules& mends_;
};

}  // namespace

CheckRules scan_rules(const AngleLimits& limits, const CheckGroups& groups) {
  CheckRules rules = check_rules_for(limits, CheckMode::kScan);
  rules.lines.groups = groups;
  return rules;
}

void analyse_file(LineReader& input, const FileText& file, const Analysis& analysis,
                  RunTally& tally, FindingSink& sink, LineEdits* edits, FileFacts* facts) {
  CheckRules rules = analysis.rules;
  rules.lines.colours = nullptr;
  if (rules.lines.groups.colours && analysis.library != nullptr) {
    std::string problem;
    if (const LibraryColours* colours = analysis.library->colours(problem)) {
      rules.lines.colours = &colours->codes;
    }
  }
  if (!rules.lines.groups.file || !is_part_file_name(file.path)) {
    analyse_lines(input, rules, analysis.mends, tally, sink, edits);
    return;
  }
  const bool writing = edits != nullptr;
  ReversedLines reversal(file, rules, analysis.mends);
  FileChecks checks(file, analysis.mends.mends, writing ? facts : nullptr,
                    writing ? nullptr : &reversal);
  reversal.first = &checks;
  analyse_lines(input, rules, analysis.mends, tally, sink, edits, &checks);
  if (!writing && facts != nullptr) *facts = checks.facts();
}

}  // namespace skewquad
