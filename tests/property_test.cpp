// Over many generated files, the copy loses no byte of its input and holds
// each warped quad's split where it belongs, and the console reports agree
// with the counts.

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "copy_property.h"

namespace skewquad::testing {
namespace {

class FileGenerator {
 public:
  explicit FileGenerator(std::uint64_t seed) : random_(seed) {}

  std::string file(std::uint64_t most_lines = 40) {
    std::string content;
    const int lines = static_cast<int>(pick(most_lines));
    for (int i = 0; i < lines; ++i) {
      content += line();
      content += line_end();
    }
    // Sometimes no line end at all after the last line.
    if (!content.empty() && pick(3) == 0) content.erase(content.find_last_not_of("\r\n") + 1);
    return content;
  }

 private:
  std::uint64_t pick(std::uint64_t count) { return random_() % count; }

  std::string number() {
    static const char* const kForms[] = {"0",       "1",    "-1",   "10.5", ".25",    "-.75", "5.",
                                         "12.5752", "1e-3", "-2E1", "100",  "0.0001", "-40"};
    if (pick(4) == 0) return std::to_string(static_cast<int>(pick(200)) - 100);
    return kForms[pick(sizeof kForms / sizeof kForms[0])];
  }

  std::string numbers(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (pick(10) == 0 ? "\t" : " ") + number();
    return text;
  }

  std::string quad() {
    std::string colour = pick(8) == 0 ? "0x2FF0029" : std::to_string(pick(80));
    switch (pick(6)) {
      case 0:  // planar, in a coordinate plane
        return "4 " + colour + " 0 0 0 1 0 0 1 1 0 0 1 0";
      case 1:  // corners that meet: no angle
        return "4 " + colour + " 1 2 3 1 2 3 4 5 6 7 8 9";
      case 2:  // cut short, or a field that is not a number
        return "4 " + colour + numbers(static_cast<int>(pick(12))) + (pick(2) == 0 ? " 1,5" : "");
      default:  // most often warped
        return "4 " + colour + numbers(12);
    }
  }

  std::string line() {
    switch (pick(14)) {
      case 0:
        return "0 // comment" + std::string(pick(3) == 0 ? 1000 + pick(60) : pick(20), 'c');
      case 1:
        return "3 16" + numbers(9);
      case 2:
        return "5 24" + numbers(12);
      case 3:
        return "2 24" + numbers(6);
      case 4:
        return "1 16" + numbers(12) + " stud.dat";
      case 5:
        return "";
      case 6:
        return "\xEF\xBB\xBF" + quad();
      case 7:
        return std::string("4 16 0 0 0 1 0 0 1\0 1 0 0 1 1", 29);
      case 8:
        return "\x1A" + quad();
      case 9:
        return quad() + std::string(1000 + pick(40), ' ') + numbers(3);
      case 10:
        return "   " + quad() + " \r trailing";
      default:
        return quad();
    }
  }

  std::string line_end() { return pick(3) == 0 ? "\n" : "\r\n"; }

  std::mt19937_64 random_;
};

TEST(CopyProperty, HoldsOverTenThousandGeneratedFiles) {
  FileGenerator generator(5);
  std::mt19937_64 random(6);
  const AngleLimits limit_choices[] = {{1.0, 3.0}, {0.5, 2.0}, {3.0, 3.0}, {20.0, 45.0}};
  for (int i = 0; i < 10000; ++i) {
    const std::string input = generator.file();
    const ModeFlags flags{random() % 2 == 0, random() % 3 == 0};
    const AngleLimits& limits = limit_choices[random() % 4];
    for (const ModeFlags& mode : {ModeFlags{}, flags}) {
      const LoopRun run = run_loop(input, limits, mode);
      const std::string faults = copy_and_console_faults(input, run, limits, mode);
      ASSERT_EQ(faults, "") << "file " << i << (mode.auto_split ? " with -c" : "")
                            << (mode.no_conditional ? " with -o" : "");
    }
  }
}

TEST(CopyProperty, HoldsOverFilesLargerThanTheReadBuffer) {
  // The copy is handed runs of lines straight from the read buffer; here
  // they meet its refills in every way.
  FileGenerator generator(7);
  const AngleLimits limits{1.0, 3.0};
  for (int i = 0; i < 12; ++i) {
    const std::string input = generator.file(12000);
    for (const ModeFlags& mode : {ModeFlags{}, ModeFlags{true, false}}) {
      const LoopRun run = run_loop(input, limits, mode);
      ASSERT_EQ(copy_and_console_faults(input, run, limits, mode), "")
          << "file " << i << (mode.auto_split ? " with -c" : "");
    }
  }
}

}  // namespace
}  // namespace skewquad::testing
