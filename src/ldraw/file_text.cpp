// Reading a file's text again.
#include "ldraw/file_text.h"

namespace skewquad {

bool read_again(const FileText& file, const std::function<void(LineReader&)>& read) {
  if (file.file == nullptr) {
    LineReader reader;
    reader.restart(file.text);
    read(reader);
    return true;
  }
  std::fpos_t where;
  if (std::fgetpos(file.file, &where) != 0 || std::fseek(file.file, 0, SEEK_SET) != 0) {
    return false;
  }
  LineReader reader(file.file);
  read(reader);
  const bool read_whole = !reader.failed();
  return std::fsetpos(file.file, &where) == 0 && read_whole;
}

}  // namespace skewquad
