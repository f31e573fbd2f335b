// The findings of a file being mended, kept past the memory budget and told
// again in order, each saying whether its line was mended.
#include "scan/finding_log.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace skewquad {
namespace {

struct Told {
  long long line;
  CheckId check;
  std::string text;
  std::string line_text;
  MendRole role;
  MendKind mend;
  std::string first_zeros;
  bool mended;
  bool operator==(const Told&) const = default;
};

class Recording final : public FindingSink {
 public:
  void take(const Finding& finding) override {
    told.push_back({finding.line_number, finding.check, std::string(finding.text),
                    std::string(finding.line), finding.role, finding.mend.kind,
                    std::string(finding.mend.first_zeros), finding.mended});
  }
  std::vector<Told> told;
};

TEST(FindingLog, TellsEveryFindingAgainInOrderPastItsBudget) {
  FindingLog log(1000);
  std::vector<Told> expected;
  for (int round = 0; round < 2; ++round) {
    expected.clear();
    // Findings of every size, many times the budget, strings and all.
    for (long long line = 1; line <= 5000; ++line) {
      const std::string text(static_cast<std::size_t>(line % 7), 'x');
      const std::string line_text = "2 24 " + std::to_string(line) + std::string(line % 300, ' ');
      Finding finding;
      finding.line_number = line;
      finding.check = line % 2 == 0 ? CheckId::kTrailingZeros : CheckId::kIdentical;
      finding.text = text;
      finding.line = line_text;
      finding.role = static_cast<MendRole>(line % 3);
      finding.mend.kind = line % 3 == 1 ? MendKind::kZeros : MendKind::kNone;
      finding.mend.first_zeros = line % 3 == 1 ? "1.50" : "";
      log.take(finding);
      expected.push_back({line, finding.check, text, line_text, finding.role, finding.mend.kind,
                          std::string(finding.mend.first_zeros),
                          round == 0 && finding.role != MendRole::kNone});
    }
    Recording recording;
    ASSERT_TRUE(log.replay(recording, round == 0));
    EXPECT_EQ(recording.told, expected) << "round " << round;
  }
  // Replayed, the log is empty for the next file.
  Recording recording;
  ASSERT_TRUE(log.replay(recording, true));
  EXPECT_TRUE(recording.told.empty());
}

}  // namespace
}  // namespace skewquad
