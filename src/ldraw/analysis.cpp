// The analysis of a file.
#include "ldraw/analysis.h"

namespace skewquad {

CheckRules scan_rules(const AngleLimits& limits, const CheckGroups& groups) {
  CheckRules rules = check_rules_for(limits, CheckMode::kScan);
  rules.lines.groups = groups;
  return rules;
}

void analyse_file(LineReader& input, const Analysis& analysis, RunTally& tally, FindingSink& sink,
                  LineEdits* edits) {
  CheckRules rules = analysis.rules;
  rules.lines.colours = nullptr;
  if (rules.lines.groups.colours && analysis.library != nullptr) {
    std::string problem;
    if (const LibraryColours* colours = analysis.library->colours(problem)) {
      rules.lines.colours = &colours->codes;
    }
  }
  analyse_lines(input, rules, analysis.mends, tally, sink, edits);
}

}  // namespace skewquad
