// The catalogue of checks: a row for every check, each one named once, in a
// group, with words for every finding and mend it can make.
#include "ldraw/catalogue.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace skewquad {
namespace {

TEST(Catalogue, DescribesEveryCheckOnceUnderItsOwnName) {
  std::set<std::string> names;
  for (const CheckEntry& entry : catalogue()) {
    EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
    // SARIF indexes its rules by the check's place.
    EXPECT_EQ(&entry_of(entry.id), &entry) << entry.name;
    EXPECT_NE(entry.groups, 0U) << entry.name;
    for (const char* text : {entry.short_description, entry.full_description, entry.help}) {
      EXPECT_GT(std::string(text).size(), 10U) << entry.name;
    }
    // A message for a finding on each line type it can be found on, none
    // empty and none left with a format's conversion unfilled.
    for (int type = 1; type <= 5; ++type) {
      Finding finding;
      finding.check = entry.id;
      finding.line_type = type;
      finding.text = "1.50";
      finding.angle = 14.32;
      const std::string message = finding_message(finding, {});
      EXPECT_FALSE(message.empty()) << entry.name;
      EXPECT_EQ(message.find('%'), std::string::npos) << message;
    }
  }
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kCheckCount));
}

TEST(Catalogue, SaysWhatEachMendDidOnce) {
  Finding finding;
  finding.line_type = 2;
  finding.angle = 14.32;
  finding.mend.kind = MendKind::kRemoved;
  EXPECT_EQ(mend_message(finding), "line that draws nothing removed");
  finding.mend = {MendKind::kZeros, false, 1, "-00.50", {}};
  EXPECT_EQ(mend_message(finding), "number -00.50 written without needless zeros");
  finding.mend = {MendKind::kWarpSplit, true, 3, "1.0", {}};
  EXPECT_EQ(mend_message(finding),
            "quad split into two triangles (warped by 14.32\xC2\xB0); 3 numbers, 1.0 the first, "
            "written without needless zeros");
  EXPECT_STREQ(became(finding, false), "2 triangles");
}

}  // namespace
}  // namespace skewquad
