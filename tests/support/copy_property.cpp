// The promises the line loop owes its input, checked piece by piece.
#include "copy_property.h"

#include <cstdlib>
#include <vector>

#include "check/check_loop.h"
#include "classic/console_report.h"
#include "geometry/warp.h"
#include "test_files.h"
#include "text/quad_line_reader.h"

namespace skewquad::testing {
namespace {

bool is_warped(std::string_view piece, const AngleLimits& limits) {
  QuadLine quad;
  return probe_line_type(piece) == 4 && parse_quad(piece, quad) &&
         measure_warp(quad).max > limits.warning;
}

// Reads the copy line by line, comparing as it goes.
class CopyReader {
 public:
  explicit CopyReader(std::string_view copy) : copy_(copy) {}

  bool take(std::string_view expected) {
    if (copy_.substr(at_, expected.size()) != expected) return false;
    at_ += expected.size();
    return true;
  }

  // A whole line that starts with `start` and ends with `line_end`, with no
  // line feed before that end.
  bool take_line(std::string_view start, std::string_view line_end) {
    const std::size_t feed = copy_.find('\n', at_);
    if (feed == std::string_view::npos) return false;
    const std::string_view line = copy_.substr(at_, feed + 1 - at_);
    if (!line.starts_with(start) || !line.ends_with(line_end)) return false;
    if (line_end == "\n" && line.ends_with("\r\n")) return false;
    at_ = feed + 1;
    return true;
  }

  std::size_t position() const { return at_; }
  bool at_end() const { return at_ == copy_.size(); }

 private:
  std::string_view copy_;
  std::size_t at_ = 0;
};

std::string console_faults(const LoopRun& run) {
  long long reported = 0;
  long long last_line = 0;
  std::size_t at = 0;
  while ((at = run.console.find("\nLine ", at)) != std::string::npos) {
    at += 6;
    char* stop = nullptr;
    const long long line = std::strtoll(run.console.c_str() + at, &stop, 10);
    if (line <= last_line || line > run.tally.line_number) {
      return "line " + std::to_string(line) + " reported out of order";
    }
    last_line = line;
    const std::string_view rest(stop);
    if (rest.starts_with(": Angle = ")) {
      ++reported;
    } else if (!rest.starts_with(": Invalid quad line")) {
      return "unknown report after line " + std::to_string(line);
    }
  }
  if (reported != run.tally.error_count) {
    return std::to_string(reported) + " quads reported, " + std::to_string(run.tally.error_count) +
           " counted";
  }
  return {};
}

}  // namespace

LoopRun run_loop(std::string_view input, const AngleLimits& limits, const ModeFlags& flags) {
  std::FILE* input_file = file_holding(input);
  std::FILE* console = testing::temporary_file();
  std::FILE* copy_file = testing::temporary_file();
  LoopRun run;
  {
    LineReader reader(input_file);
    CopyStream copy(copy_file);
    ConsoleReport report(console);
    check_lines(reader, &copy, check_rules_for(limits), flags, run.tally, report);
    copy.flush();
  }
  run.copy = contents_of(copy_file);
  run.console = contents_of(console);
  for (std::FILE* file : {input_file, console, copy_file}) std::fclose(file);
  return run;
}

std::string copy_and_console_faults(std::string_view input, const LoopRun& run,
                                    const AngleLimits& limits, const ModeFlags& flags) {
  CopyReader copy(run.copy);
  std::string_view last_line_end = "\n";
  const std::vector<std::string_view> pieces = pieces_by_rule(input);
  if (static_cast<long long>(pieces.size()) != run.tally.line_number) {
    return std::to_string(pieces.size()) + " pieces, " + std::to_string(run.tally.line_number) +
           " counted";
  }
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::string_view piece = pieces[i];
    const std::string where = "piece " + std::to_string(i + 1) + " at byte " +
                              std::to_string(copy.position()) + " of the copy";
    const bool has_line_end = piece.back() == '\n';
    const std::string_view line_end =
        has_line_end ? (piece.ends_with("\r\n") ? "\r\n" : "\n") : last_line_end;
    if (has_line_end) last_line_end = line_end;

    if (!is_warped(piece, limits)) {
      if (!copy.take(piece)) return where + ": not copied as read";
      continue;
    }
    std::string_view prefix;
    if (!flags.auto_split) {
      if (!copy.take(piece)) return where + ": warped quad not copied as read";
      if (!has_line_end && !copy.take(line_end)) return where + ": quad line not ended";
      if (!copy.take_line("0 Angle ", line_end)) return where + ": no warp note";
      if (!copy.take_line("0 Suggested split:", line_end)) return where + ": no split header";
      prefix = "0 ";
    }
    const std::string triangle = std::string(prefix) + "3 ";
    if (!copy.take_line(triangle, line_end) || !copy.take_line(triangle, line_end)) {
      return where + ": no pair of triangles";
    }
    if (!flags.no_conditional && !copy.take_line(std::string(prefix) + "5 24 ", line_end)) {
      return where + ": no conditional line";
    }
  }
  if (!copy.at_end()) return "the copy has more than its input gives";
  return console_faults(run);
}

}  // namespace skewquad::testing
