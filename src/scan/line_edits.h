// Where a mending scan's edits of a file go: the mended file itself, or a
// unified diff of the change for review.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "check/check_loop.h"
#include "writer/copy_stream.h"

namespace skewquad {

/// Writes the mended file: every piece as read, a mended line as its mend.
class CopyEdits final : public LineEdits {
 public:
  explicit CopyEdits(CopyStream& copy) : copy_(copy) {}
  void keep(std::string_view piece) override { copy_.write(piece); }
  void replace(std::string_view /*line*/, std::string_view replacement,
               MendKind /*kind*/) override {
    copy_.write(replacement);
  }

 private:
  CopyStream& copy_;
};

/// True when a patch applied in the current folder can name the file `path`:
/// it is relative and does not lead out through "..".
bool is_diff_path(std::string_view path);

/// Writes the change as a unified diff (`--- a/PATH`, `+++ b/PATH`, hunks
/// with three lines of context, every byte of each line as it is) that
/// `patch -p1` and `git apply` apply to give the mended file. PATH is
/// written as git writes names: '/' between names, no "./", and in double
/// quotes with C's escapes when it holds a control character, a quote, a
/// backslash or a byte that is not ASCII (then followed by a tab when it
/// holds a blank). The diff goes to `out` as each hunk closes, handed to
/// `when_full` whenever `out` holds `budget` bytes or more; only the open
/// hunk and its context are held.
class DiffEdits final : public LineEdits {
 public:
  DiffEdits(const std::string& path, std::string& out, std::size_t budget,
            std::function<void(std::string&)> when_full);

  void keep(std::string_view piece) override;
  void replace(std::string_view line, std::string_view replacement, MendKind kind) override;

  /// Ends the diff at the end of the file.
  void finish();

 private:
  void unchanged(std::string line);
  void add(char mark, std::string_view line);
  void close_hunk();

  const std::string old_name_;  // as the header lines write it
  const std::string new_name_;
  std::string& out_;
  const std::size_t budget_;
  const std::function<void(std::string&)> when_full_;
  std::string line_;                 // the pieces of the line being read
  std::deque<std::string> context_;  // unchanged lines not yet in a hunk
  std::string hunk_;                 // the open hunk's lines
  bool in_hunk_ = false;
  bool any_hunk_ = false;
  int trailing_ = 0;  // unchanged lines in the open hunk since its last change
  long long old_line_ = 0;
  long long shift_ = 0;  // lines added less lines removed before the open hunk
  long long hunk_old_start_ = 0;
  long long hunk_old_count_ = 0;
  long long hunk_new_count_ = 0;
};

}  // namespace skewquad
