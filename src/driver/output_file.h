// The output file, and the safe replacement of the input by its copy.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

#include "writer/copy_stream.h"

namespace skewquad {

// The file the copy goes to. When its name refers to the input file itself
// (the same file under any name or through a link), the copy is written to a
// new file beside it and only replaces the input once the run is complete,
// so a failed run leaves the input as it was.
class OutputFile {
 public:
  // Opens the output named `name`; nullptr when it cannot be created.
  static std::unique_ptr<OutputFile> create(const char* name, const char* input_name);

  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  CopyStream& stream() { return *stream_; }

  // Flushes and closes the copy and, for the input itself, puts it in the
  // input's place with the input's permission bits. False if any write,
  // flush, close or the replacement failed; the input is then untouched.
  bool commit();

  // Closes the copy after a failed run; a copy meant to replace the input is
  // removed.
  void discard();

 private:
  OutputFile(std::FILE* file, std::filesystem::path temporary, std::filesystem::path target);

  std::FILE* file_;
  std::unique_ptr<CopyStream> stream_;
  std::filesystem::path temporary_;  // empty unless the copy replaces the input
  std::filesystem::path target_;
};

}  // namespace skewquad
