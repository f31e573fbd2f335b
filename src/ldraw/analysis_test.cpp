// The one analysis of a file, held in memory with its library: the colours
// come from the library it is given, and the findings and mends are those
// of the scan.
#include "ldraw/analysis.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace skewquad {
namespace {

class Recording final : public FindingSink {
 public:
  void take(const Finding& finding) override {
    checks.emplace_back(check_of(finding));
    if (finding.role == MendRole::kCarrier) mends.emplace_back(finding.mend.replacement);
  }
  static std::string check_of(const Finding& finding) {
    return std::to_string(finding.line_number) + ":" +
           std::to_string(static_cast<int>(finding.check));
  }
  std::vector<std::string> checks;
  std::vector<std::string> mends;
};

Recording analysed(const std::string& text, const Library* library, MendRules mends = {}) {
  LineReader reader;
  reader.restart(std::string_view(text));
  Analysis analysis{scan_rules({}, {true, true, true, true}), mends, library};
  RunTally tally;
  Recording recording;
  analyse_file(reader, FileText{"lib/parts/x.ldr", nullptr, text}, analysis, tally, recording);
  return recording;
}

TEST(AnalyseFile, KnowsTheColoursOfTheLibraryItIsGiven) {
  TextsInMemory texts;
  texts.add("lib/LDConfig.ldr", "0 !COLOUR Main CODE 16 VALUE #FFFF80 EDGE #333333\n");
  const Library library(texts, find_library_root(texts, "lib/parts/x.dat"));
  ASSERT_EQ(library.root(), "/lib");
  const std::string text = "3 16 0 0 0 1 0 0 0 1 0\n3 4 0 0 0 1 0 0 0 1 0\n";
  const std::string unknown = "2:" + std::to_string(static_cast<int>(CheckId::kUnknownColour));
  EXPECT_EQ(analysed(text, &library).checks, std::vector<std::string>{unknown});
  // Without a library, unknown colours are not looked for.
  EXPECT_TRUE(analysed(text, nullptr).checks.empty());
  // The mends come with the findings when asked for.
  const Recording mended = analysed("2 24 1.50 0 0 1 1 1\n", &library, {true});
  EXPECT_EQ(mended.mends, std::vector<std::string>{"2 24 1.5 0 0 1 1 1\n"});
}

}  // namespace
}  // namespace skewquad
