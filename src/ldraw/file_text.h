// A file's text as an analysis reads it, and reads it again: some of what
// the checks of a file as a whole find is only known at its end, and the
// lines it names are then read once more rather than held.
#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

#include "text/line_reader.h"

namespace skewquad {

/// The file an analysis reads.
struct FileText {
  // Its path as reported: its own name and folder are read from it. Empty
  // when it has none (a text with no file behind it).
  std::string_view path;
  // Where its text is read again: an open file, from its start, or the
  // text held in memory.
  std::FILE* file = nullptr;
  std::string_view text;
};

/// Reads the text of `file` again from its start: `read` is given a reader
/// of it. An open file is left where it was, so that a reading under way
/// goes on as if nothing happened. False when it cannot be read again.
bool read_again(const FileText& file, const std::function<void(LineReader&)>& read);

}  // namespace skewquad
