// The checks parts certification makes of a part file as a whole: its header
// (description, Name:, Author:, !LDRAW_ORG, !LICENSE, !CATEGORY, !KEYWORDS,
// !HISTORY, BFC CERTIFY CCW), the metas of its body, the marks its
// description needs for its kind of part, its name against its folder and
// type, and whether it uses itself. Told every line in order, it finds the
// faults of a line at once and those of the file at its end, holding only
// the few values a header gives.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "check/file_hook.h"
#include "ldraw/file_text.h"

namespace skewquad {

/// True for the files the file checks are made on: parts, *.dat in any
/// case; models (*.ldr, *.mpd) get none.
bool is_part_file_name(std::string_view path);

/// The longest line the file checks read whole; a longer one (no real part
/// has one) is read by its first this many bytes, so that what a file
/// holds stays bounded.
inline constexpr std::size_t kLongestFileCheckLine = std::size_t{1} << 20;

/// What a first reading of a file found that a second one, writing its
/// mends, needs before it reaches the lines it mends.
struct FileFacts {
  long long tilde_line = 0;             // a subpart's description line, to be given its ~; 0: none
  bool reversible = true;               // no face too long to be reversed in a file certified CW
  bool byte_order_mark_skipped = true;  // a file opening with one is UTF-8
};

class FileChecks final : public FileHook {
 public:
  /// The checks of the part file `file` (its own name and folder read from
  /// its path). With `mends`, the mends the checks allow are worked out:
  /// `known` is what a first reading found, for a reading that writes
  /// them; `reversal` the lines a CW part made CCW replaces, for the
  /// finding that carries that mend.
  FileChecks(const FileText& file, bool mends, const FileFacts* known = nullptr,
             const LineReplacements* reversal = nullptr);
  ~FileChecks();
  FileChecks(const FileChecks&) = delete;
  FileChecks& operator=(const FileChecks&) = delete;

  const FileLineVerdict& line(long long number, std::string_view piece, bool whole) override;
  const FileLineVerdict& rest(std::string_view piece) override;
  bool reversing() const override;
  bool reverse(std::string_view text, bool whole, bool counted, std::string& out) override;
  void finish(RunTally& tally, FindingSink& sink) override;

  /// What this reading found, for a second one.
  FileFacts facts() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace skewquad
