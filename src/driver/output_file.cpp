// The output file: created plainly, or beside the input it replaces.
#include "driver/output_file.h"

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

namespace skewquad {
namespace {

namespace fs = std::filesystem;

bool is_same_file(const char* name, const char* input_name) {
  std::error_code error;
  return fs::equivalent(name, input_name, error) && !error;
}

// A new file beside `target`, created exclusively so that nothing already
// there is ever overwritten.
std::FILE* create_beside(const fs::path& target, fs::path& temporary) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = target;
    candidate += ".skewquad-" + std::to_string(random() % 1'000'000'000);
    if (std::FILE* file = std::fopen(candidate.c_str(), "wbx")) {
      temporary = candidate;
      return file;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

}  // namespace

OutputFile::OutputFile(std::FILE* file, fs::path temporary, fs::path target)
    : file_(file),
      stream_(std::make_unique<CopyStream>(file)),
      temporary_(std::move(temporary)),
      target_(std::move(target)) {}

OutputFile::~OutputFile() { discard(); }

std::unique_ptr<OutputFile> OutputFile::create(const char* name, const char* input_name) {
  if (!is_same_file(name, input_name)) {
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) return nullptr;
    return std::unique_ptr<OutputFile>(new OutputFile(file, {}, {}));
  }
  // Replace the file a link points to, so that the link stays a link. A
  // file that could not be opened for writing is not replaced either.
  std::error_code error;
  fs::path target = fs::canonical(name, error);
  if (error) return nullptr;
  std::FILE* writable = std::fopen(target.c_str(), "r+b");
  if (writable == nullptr) return nullptr;
  std::fclose(writable);
  fs::path temporary;
  std::FILE* file = create_beside(target, temporary);
  if (file == nullptr) return nullptr;
  return std::unique_ptr<OutputFile>(new OutputFile(file, std::move(temporary), std::move(target)));
}

bool OutputFile::commit() {
  bool written = stream_->flush();
  if (std::fclose(file_) != 0) written = false;
  file_ = nullptr;
  if (temporary_.empty()) return written;

  std::error_code error;
  if (written) {
    const fs::perms permissions = fs::status(target_, error).permissions();
    if (!error) fs::permissions(temporary_, permissions, error);
    if (!error) fs::rename(temporary_, target_, error);
    written = !error;
  }
  if (!written) fs::remove(temporary_, error);
  temporary_.clear();
  return written;
}

void OutputFile::discard() {
  if (file_ != nullptr) {
    // What was read before the failure still reaches a copy of its own name.
    if (temporary_.empty()) stream_->flush();
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    std::error_code error;
    fs::remove(temporary_, error);
    temporary_.clear();
  }
}

}  // namespace skewquad
