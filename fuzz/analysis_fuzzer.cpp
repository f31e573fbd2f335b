// The one analysis of a part over an arbitrary file, every check and mend
// on: the fixes its findings carry, each line's own and those of the file
// as a whole (read again through their line lists), applied together to
// the file, give the very bytes the writing reading gives, which goes by
// what the first one found. Files with a line longer than a piece are
// passed over: there a CW part's reversal is only found impossible at the
// end, after its faces' own fixes were told reversed.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "ldraw/analysis.h"
#include "text/read_ahead.h"

namespace {

using skewquad::Finding;

// Every carried fix, by the line it replaces.
class Fixes final : public skewquad::FindingSink {
 public:
  void take(const Finding& finding) override {
    if (finding.role != skewquad::MendRole::kCarrier) return;
    if (finding.mend.lines != nullptr) {
      finding.mend.lines->for_each(
          [this](long long line, std::string_view /*was*/, std::string_view replacement) {
            add(line, replacement);
          });
    } else {
      add(finding.line_number, finding.mend.replacement);
    }
  }
  void add(long long line, std::string_view replacement) {
    if (!by_line.emplace(line, std::string(replacement)).second) {
      std::fprintf(stderr, "two fixes of line %lld\n", line);
      std::abort();
    }
  }
  std::map<long long, std::string> by_line;
};

class Written final : public skewquad::LineEdits {
 public:
  void keep(std::string_view piece) override { text.append(piece); }
  void replace(std::string_view /*line*/, std::string_view replacement,
               skewquad::MendKind /*kind*/) override {
    text.append(replacement);
  }
  std::string text;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    const std::size_t length = (end == std::string_view::npos ? text.size() : end) - start;
    if (length >= skewquad::kPieceCharacters) return 0;
    start += length + 1;
  }
  const skewquad::Analysis analysis{skewquad::scan_rules({}, {true, true, true, true, true}),
                                    {true, skewquad::MendLevel::kWarnings, true},
                                    nullptr};
  const skewquad::FileText file{"parts/s/fuzz.dat", nullptr, text};
  skewquad::LineReader reader;
  reader.restart(text);
  skewquad::RunTally tally;
  Fixes fixes;
  skewquad::FileFacts facts;
  skewquad::analyse_file(reader, file, analysis, tally, fixes, nullptr, &facts);
  reader.restart(text);
  skewquad::RunTally again;
  skewquad::NoFindings none;
  Written written;
  skewquad::analyse_file(reader, file, analysis, again, none, &written, &facts);

  std::string applied;
  long long number = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    const auto fix = fixes.by_line.find(++number);
    applied +=
        fix != fixes.by_line.end() ? fix->second : std::string(text.substr(start, next - start));
    start = next;
  }
  if (applied != written.text) {
    std::fprintf(stderr, "the fixes applied:\n%s\n--fix wrote:\n%s\n", applied.c_str(),
                 written.text.c_str());
    std::abort();
  }
  return 0;
}
