// The findings of a file being mended, kept until it is known whether the
// mended file could be written: only then can each say "fixed" or not. A
// few are kept in memory, the rest in a scratch file, so that memory stays
// bounded however many a file holds.
#pragma once

#include <cstdio>
#include <string>

#include "check/finding.h"

namespace skewquad {

class FindingLog final : public FindingSink {
 public:
  /// Keeps up to `budget` bytes of findings in memory before it writes them
  /// to a scratch file.
  explicit FindingLog(std::size_t budget) : budget_(budget) {}
  FindingLog(const FindingLog&) = delete;
  FindingLog& operator=(const FindingLog&) = delete;
  ~FindingLog();

  /// Keeps the finding (all but its mend's replacement).
  void take(const Finding& finding) override;

  /// Hands every finding kept to `sink`, in the order taken, each with
  /// `mended` as given to those that have a part in their line's mend.
  /// False, with errno saying why, when the scratch file could not be read
  /// back: the findings from there on are then lost. (When no scratch file
  /// can be made or written, the findings stay in memory instead.)
  bool replay(FindingSink& sink, bool mended);

  /// Forgets every finding, for the next file.
  void clear();

 private:
  void spill();

  const std::size_t budget_;
  std::string kept_;  // the findings taken since those in the scratch file
  std::FILE* scratch_ = nullptr;
  std::size_t written_ = 0;  // bytes of whole records in the scratch file
  bool unwritable_ = false;  // no scratch file could be made or written
};

}  // namespace skewquad
