// Temporary files for tests, and the reading rule written out byte by byte.
#include "test_files.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#endif

namespace skewquad::testing {

namespace {

// A name no other test, in this process or another, has made.
std::filesystem::path new_name(const std::string& kind) {
  static std::atomic<int> made{0};
  static const std::string process = std::to_string(std::random_device{}());
  const std::filesystem::path base(SKEWQUAD_TEST_TEMPORARY_FOLDER);
  std::filesystem::create_directories(base);
  return base / (kind + "-" + process + "-" + std::to_string(made++));
}

}  // namespace

ScratchFolder::ScratchFolder() {
  do {
    path_ = new_name("scratch");
  } while (!std::filesystem::create_directory(path_));
}

std::FILE* temporary_file() {
  const std::filesystem::path path = new_name("file");
#if defined(_WIN32)
  // "D": deleted when closed, as Windows cannot remove an open file.
  std::FILE* file = _wfopen(path.c_str(), L"w+bD");
#else
  std::FILE* file = std::fopen(path.c_str(), "w+b");
  if (file != nullptr) std::filesystem::remove(path);
#endif
  if (file == nullptr) throw std::runtime_error("cannot make " + path.string());
  return file;
}

ScratchFolder::~ScratchFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::FILE* unreadable_stream(const ScratchFolder& folder) {
  const std::filesystem::path path = folder.path() / "write-only";
#if defined(_WIN32)
  // A stream for reading over a handle that may only write.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_RDONLY);
  return descriptor < 0 ? nullptr : _fdopen(descriptor, "rb");
#else
  // A file opened only for writing cannot be read from.
  return std::fopen(path.c_str(), "wb");
#endif
}

std::filesystem::path ScratchFolder::write(const std::string& name,
                                           std::string_view content) const {
  std::filesystem::path file = path_ / name;
  std::ofstream out(file, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
  return file;
}

std::vector<std::string> ScratchFolder::names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string contents_of(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::FILE* file_holding(std::string_view content) {
  std::FILE* file = temporary_file();
  if (std::fwrite(content.data(), 1, content.size(), file) != content.size()) {
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

// The pieces of a file by the reading rule, written out byte by byte: a
// piece ends after a line feed or at 1023 characters, CR LF counting as one.
std::vector<std::string_view> pieces_by_rule(std::string_view content) {
  std::vector<std::string_view> pieces;
  std::size_t begin = 0;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    const bool crlf = content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n';
    if (crlf) ++i;
    ++characters;
    if (content[i] == '\n' || characters == 1023) {
      pieces.push_back(content.substr(begin, i + 1 - begin));
      begin = i + 1;
      characters = 0;
    }
  }
  if (begin < content.size()) pieces.push_back(content.substr(begin));
  return pieces;
}

}  // namespace skewquad::testing
