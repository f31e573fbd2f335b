// Keeping findings as records: a fixed part, then the bytes of the text at
// fault, the line and the first number that lost its zeros.
#include "scan/finding_log.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace skewquad {
namespace {

struct Record {
  long long line_number;
  double angle;
  int line_type;
  int zero_numbers;
  std::uint32_t text_size;
  std::uint32_t line_size;
  std::uint32_t first_zeros_size;
  CheckId check;
  Severity severity;
  MendRole role;
  MendKind mend;
  bool zeros_too;
};

template <typename T>
void append_bytes(std::string& out, const T& value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

FindingLog::~FindingLog() {
  if (scratch_ != nullptr) std::fclose(scratch_);
}

void FindingLog::take(const Finding& finding) {
  const Record record{finding.line_number,
                      finding.angle,
                      finding.line_type,
                      finding.mend.zero_numbers,
                      static_cast<std::uint32_t>(finding.text.size()),
                      static_cast<std::uint32_t>(finding.line.size()),
                      static_cast<std::uint32_t>(finding.mend.first_zeros.size()),
                      finding.check,
                      finding.severity,
                      finding.role,
                      finding.mend.kind,
                      finding.mend.zeros_too};
  append_bytes(kept_, record);
  kept_.append(finding.text);
  kept_.append(finding.line);
  kept_.append(finding.mend.first_zeros);
  if (kept_.size() >= budget_) spill();
}

void FindingLog::spill() {
  if (unwritable_) return;
  if (scratch_ == nullptr) scratch_ = platform::open_scratch_file();
  if (scratch_ == nullptr || std::fwrite(kept_.data(), 1, kept_.size(), scratch_) != kept_.size()) {
    // What could not be written stays in memory, whole records and all.
    unwritable_ = true;
    return;
  }
  written_ += kept_.size();
  kept_.clear();
}

bool FindingLog::replay(FindingSink& sink, bool mended) {
  int error = 0;
  std::size_t unread = written_;
  if (unread > 0 && (std::fflush(scratch_) != 0 || std::fseek(scratch_, 0, SEEK_SET) != 0)) {
    error = errno != 0 ? errno : EIO;
    unread = 0;
  }
  std::string records;
  bool memory_taken = false;
  // Makes `records` hold at least `wanted` bytes if there are that many:
  // the scratch file's first, then those still in memory.
  const auto read_up_to = [&](std::size_t wanted) {
    while (records.size() < wanted && unread > 0) {
      char block[65536];
      const std::size_t read = std::fread(block, 1, std::min(sizeof block, unread), scratch_);
      if (read == 0) {
        error = errno != 0 ? errno : EIO;
        unread = 0;
        break;
      }
      records.append(block, read);
      unread -= read;
    }
    if (records.size() < wanted && unread == 0 && error == 0 && !memory_taken) {
      records.append(kept_);
      memory_taken = true;
    }
    return records.size() >= wanted;
  };
  std::size_t at = 0;
  for (;;) {
    // Records told are dropped a block at a time.
    if (at >= 65536) {
      records.erase(0, at);
      at = 0;
    }
    if (!read_up_to(at + sizeof(Record))) break;
    Record record{};
    std::memcpy(&record, records.data() + at, sizeof record);
    const std::size_t size = record.text_size + record.line_size + record.first_zeros_size;
    if (!read_up_to(at + sizeof(Record) + size)) break;
    const char* strings = records.data() + at + sizeof(Record);
    Finding finding;
    finding.line_number = record.line_number;
    finding.check = record.check;
    finding.severity = record.severity;
    finding.angle = record.angle;
    finding.line_type = record.line_type;
    finding.text = std::string_view(strings, record.text_size);
    finding.line = std::string_view(strings + record.text_size, record.line_size);
    finding.role = record.role;
    finding.mend.kind = record.mend;
    finding.mend.zeros_too = record.zeros_too;
    finding.mend.zero_numbers = record.zero_numbers;
    finding.mend.first_zeros =
        std::string_view(strings + record.text_size + record.line_size, record.first_zeros_size);
    finding.mended = mended && record.role != MendRole::kNone;
    sink.take(finding);
    at += sizeof(Record) + size;
  }
  clear();
  if (error == 0) return true;
  errno = error;
  return false;
}

void FindingLog::clear() {
  kept_.clear();
  if (scratch_ != nullptr) {
    std::fclose(scratch_);
    scratch_ = nullptr;
  }
  written_ = 0;
  unwritable_ = false;
}

}  // namespace skewquad
