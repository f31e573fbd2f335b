// The output copy's stream: gathering, draining and the failure flag.
#include "writer/copy_stream.h"

namespace skewquad {

CopyStream::CopyStream(std::FILE* file)
    : file_(file), buffer_(std::make_unique_for_overwrite<char[]>(capacity_)) {}

void CopyStream::drain() {
  if (used_ != 0 && !failed_ && std::fwrite(buffer_.get(), 1, used_, file_) != used_) {
    failed_ = true;
  }
  used_ = 0;
}

void CopyStream::write_large(std::string_view bytes) {
  drain();
  if (bytes.size() < capacity_) {
    write(bytes);
  } else if (!failed_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    failed_ = true;
  }
}

bool CopyStream::flush() {
  drain();
  if (!failed_ && std::fflush(file_) != 0) failed_ = true;
  return !failed_;
}

}  // namespace skewquad
