#include "test_files.h"

#include <stdexcept>

namespace skewquad::testing {

std::FILE* file_holding(std::string_view content) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr || std::fwrite(content.data(), 1, content.size(), file) != content.size()) {
    throw std::runtime_error("cannot make a temporary file");
  }
  std::rewind(file);
  return file;
}

std::string contents_of(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string content;
  char block[4096];
  std::size_t size = 0;
  while ((size = std::fread(block, 1, sizeof block, file)) > 0) content.append(block, size);
  return content;
}

}  // namespace skewquad::testing
