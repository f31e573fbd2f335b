// The input and output files on Windows, opened by their wide names. A copy
// that replaces its input is created exclusively (CREATE_NEW) beside it
// under a short name and shared with no one (only deleting it is allowed, so
// that a console's Ctrl+C or close can remove it); it is flushed to disk,
// given the input's attributes, and renamed over the input by MoveFileExW,
// written through. ReplaceFileW would keep more of the input (its security
// and creation time) but under Wine, where the tests run, it leaves a backup
// file of its own behind.
#include "platform/files.h"

#include <cerrno>
#include <cstdint>
#include <random>
#include <set>

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "platform/windows/wide_text.h"

namespace skewquad::platform {
namespace {

bool information_of(HANDLE file, BY_HANDLE_FILE_INFORMATION& information) {
  return GetFileInformationByHandle(file, &information) != 0;
}

// What identifies the file named `name`, if it can be opened at all.
bool information_of(const std::wstring& name, BY_HANDLE_FILE_INFORMATION& information) {
  const HANDLE file =
      CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = information_of(file, information);
  CloseHandle(file);
  return known;
}

bool same_file(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// A C stream over a file handle; the handle is closed if it cannot be had.
std::FILE* stream_of(HANDLE file, int flags, const char* mode) {
  const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), flags | _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(file);
    return nullptr;
  }
  std::FILE* stream = _fdopen(descriptor, mode);
  if (stream == nullptr) _close(descriptor);
  return stream;
}

HANDLE handle_of(std::FILE* file) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

// The copies being written, one a thread at most, removed should the
// console be interrupted or closed; the handler runs on a thread of its
// own, and once it has run no copy may take a name.
CRITICAL_SECTION copy_names_lock;
std::set<std::wstring>* copy_names = nullptr;
bool interrupted = false;

BOOL WINAPI remove_copies(DWORD) {
  EnterCriticalSection(&copy_names_lock);
  interrupted = true;
  for (const std::wstring& name : *copy_names) DeleteFileW(name.c_str());
  LeaveCriticalSection(&copy_names_lock);
  return FALSE;  // and the process ends as it would have
}

void install_handler_once() {
  static const bool installed = [] {
    InitializeCriticalSection(&copy_names_lock);
    copy_names = new std::set<std::wstring>;
    return SetConsoleCtrlHandler(remove_copies, TRUE) != 0;
  }();
  (void)installed;
}

// Creates the copy `name`, exclusively and shared with no one but a
// deleter, registered for removal in the same step; INVALID_HANDLE_VALUE
// once an interrupt has come, or when it cannot be created.
HANDLE create_copy(const std::wstring& name) {
  install_handler_once();
  EnterCriticalSection(&copy_names_lock);
  HANDLE copy = INVALID_HANDLE_VALUE;
  if (!interrupted) {
    copy = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy != INVALID_HANDLE_VALUE) copy_names->insert(name);
  } else {
    SetLastError(ERROR_OPERATION_ABORTED);
  }
  LeaveCriticalSection(&copy_names_lock);
  return copy;
}

// Forgets the copy `name`, removed or renamed.
void forget_copy(const std::wstring& name) {
  EnterCriticalSection(&copy_names_lock);
  copy_names->erase(name);
  LeaveCriticalSection(&copy_names_lock);
}

// A short name for the copy beside the input, whatever the input's length.
std::wstring private_name() {
  // One generator a thread: the workers of a scan make copies at once.
  thread_local std::mt19937_64 random{std::random_device{}()};
  constexpr wchar_t kHexDigits[] = L"0123456789abcdef";
  std::wstring name = L".skewquad-";
  std::uint64_t bits = random();
  for (int digit = 0; digit < 16; ++digit, bits >>= 4) name += kHexDigits[bits & 15];
  return name;
}

}  // namespace

// A copy that replaces its input.
struct OutputFile::Replacement {
  std::wstring target;  // the input's full name
  std::wstring name;    // the copy's
  HANDLE input = INVALID_HANDLE_VALUE;
  BY_HANDLE_FILE_INFORMATION input_information{};

  Replacement() = default;
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;
  ~Replacement() {
    if (!name.empty()) forget_copy(name);
    if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  }

  // The input is still the file the run opened, under its name, with the
  // size and last write time it had.
  bool input_unchanged() const {
    BY_HANDLE_FILE_INFORMATION now{};
    BY_HANDLE_FILE_INFORMATION at_name{};
    const BY_HANDLE_FILE_INFORMATION& then = input_information;
    return information_of(input, now) && now.nFileSizeHigh == then.nFileSizeHigh &&
           now.nFileSizeLow == then.nFileSizeLow &&
           CompareFileTime(&now.ftLastWriteTime, &then.ftLastWriteTime) == 0 &&
           information_of(target, at_name) && same_file(at_name, then);
  }
};

std::filesystem::path path_of(const std::string& name) { return wide(name); }

namespace {

FileStamp stamp_from(const BY_HANDLE_FILE_INFORMATION& information) {
  return {
      {information.dwVolumeSerialNumber,
       (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow},
      (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow,
      static_cast<std::int64_t>((std::uint64_t{information.ftLastWriteTime.dwHighDateTime} << 32) |
                                information.ftLastWriteTime.dwLowDateTime),
      0};
}

}  // namespace

std::optional<FileStamp> stamp_of(std::FILE* file) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!information_of(handle_of(file), information)) return std::nullopt;
  return stamp_from(information);
}

std::FILE* open_scratch_file() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  const DWORD size = GetTempPathW(MAX_PATH + 1, folder);
  if (size == 0 || size > MAX_PATH || GetTempFileNameW(folder, L"sq", 0, name) == 0) {
    errno = EACCES;
    return nullptr;
  }
  const HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileW(name);
    errno = EACCES;
    return nullptr;
  }
  return stream_of(file, _O_RDWR, "w+b");
}

std::string name_of(const std::filesystem::path& path) { return narrow(path.native()); }

std::FILE* create_new_file(const char* name) {
  const HANDLE file = CreateFileW(wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    errno = GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EACCES;
    return nullptr;
  }
  return stream_of(file, _O_WRONLY, "wb");
}

std::FILE* open_input(const char* name) {
  const std::wstring wide_name = wide(name);
  const DWORD attributes = GetFileAttributesW(wide_name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    errno = EISDIR;
    return nullptr;
  }
  // Shared for every use, so that other programs may still save the file,
  // by rename or in place, while it is read.
  const HANDLE file = CreateFileW(
      wide_name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    errno = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND     ? ENOENT
            : error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? EACCES
                                                                               : EIO;
    return nullptr;
  }
  return stream_of(file, _O_RDONLY, "rb");
}

std::FILE* open_regular_file(const char* name, bool& not_regular) {
  not_regular = false;
  std::FILE* file = open_input(name);
  if (file == nullptr) {
    not_regular = errno == EISDIR;
    return nullptr;
  }
  if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
    std::fclose(file);
    not_regular = true;
    errno = EINVAL;
    return nullptr;
  }
  return file;
}

std::optional<FileIdentity> identity_of(const std::string& name) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!information_of(wide(name), information)) return std::nullopt;
  return FileIdentity{
      information.dwVolumeSerialNumber,
      (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

char separator_for(const std::string& given) {
  return given.find('\\') != std::string::npos ? '\\' : '/';
}

bool is_separator(char c) { return c == '/' || c == '\\'; }

bool has_root_name(std::string_view path) { return path.size() >= 2 && path[1] == ':'; }

bool name_one_special_file(const char* input_name, const char* output_name) {
  const HANDLE input = CreateFileW(wide(input_name).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (input == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION input_information{};
  BY_HANDLE_FILE_INFORMATION output_information{};
  const bool special = GetFileType(input) != FILE_TYPE_DISK &&
                       information_of(input, input_information) &&
                       information_of(wide(output_name), output_information) &&
                       same_file(input_information, output_information);
  CloseHandle(input);
  return special;
}

OutputFile::OutputFile(std::FILE* file, std::unique_ptr<Replacement> replacement)
    : file_(file), replacement_(std::move(replacement)) {}

OutputFile::~OutputFile() { discard(); }

std::unique_ptr<OutputFile> OutputFile::create(const char* name, std::FILE* input) {
  const HANDLE input_handle = handle_of(input);
  BY_HANDLE_FILE_INFORMATION input_information{};
  BY_HANDLE_FILE_INFORMATION output_information{};
  if (!information_of(input_handle, input_information) ||
      !information_of(wide(name), output_information) ||
      !same_file(input_information, output_information)) {
    std::FILE* file = _wfopen(wide(name).c_str(), L"wb");
    if (file == nullptr) return nullptr;
    return std::unique_ptr<OutputFile>(new OutputFile(file, nullptr));
  }
  if (GetFileType(input_handle) != FILE_TYPE_DISK) return nullptr;
  return replacing(name, input);
}

std::unique_ptr<OutputFile> OutputFile::replace(const char* name, std::FILE* input,
                                                const FileStamp& as_read, bool& changed) {
  changed = false;
  // The name must still hold the very file that was read, as it was read;
  // nothing is opened through a name that holds anything else.
  BY_HANDLE_FILE_INFORMATION at_name{};
  BY_HANDLE_FILE_INFORMATION now{};
  if (!information_of(wide(name), at_name) || stamp_from(at_name).identity != as_read.identity ||
      !information_of(handle_of(input), now) || !(stamp_from(now) == as_read) ||
      GetFileType(handle_of(input)) != FILE_TYPE_DISK) {
    changed = true;
    return nullptr;
  }
  return replacing(name, input);
}

std::unique_ptr<OutputFile> OutputFile::replacing(const char* name, std::FILE* input) {
  const HANDLE input_handle = handle_of(input);
  auto replacement = std::make_unique<Replacement>();
  if (!information_of(input_handle, replacement->input_information)) return nullptr;
  if (DuplicateHandle(GetCurrentProcess(), input_handle, GetCurrentProcess(), &replacement->input,
                      0, FALSE, DUPLICATE_SAME_ACCESS) == 0) {
    return nullptr;
  }
  // A read-only file, or one that cannot be written for another reason, is
  // not replaced.
  const std::filesystem::path target = std::filesystem::absolute(path_of(name));
  replacement->target = target.native();
  const HANDLE writable = CreateFileW(replacement->target.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  if (writable == INVALID_HANDLE_VALUE) return nullptr;
  CloseHandle(writable);

  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring candidate = (target.parent_path() / private_name()).native();
    const HANDLE copy = create_copy(candidate);
    if (copy == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return nullptr;
    }
    replacement->name = candidate;
    std::FILE* file = stream_of(copy, _O_WRONLY, "wb");
    if (file == nullptr) {
      DeleteFileW(candidate.c_str());
      return nullptr;
    }
    return std::unique_ptr<OutputFile>(new OutputFile(file, std::move(replacement)));
  }
  return nullptr;
}

bool OutputFile::commit() {
  if (file_ == nullptr) return false;
  const bool written = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  if (!replacement_) {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return written && closed;
  }
  Replacement& replacement = *replacement_;
  const bool flushed = written && FlushFileBuffers(handle_of(file_)) != 0;
  changed_ = flushed && !replacement.input_unchanged();
  const bool ready = flushed && !changed_;
  // An open handle of the input, or of the copy, would stand in the way of
  // the rename.
  CloseHandle(replacement.input);
  replacement.input = INVALID_HANDLE_VALUE;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  bool replaced = false;
  if (ready && closed) {
    // The input's attributes (hidden, archive...); a read-only input was
    // never taken on.
    const DWORD attributes = GetFileAttributesW(replacement.target.c_str());
    replaced = attributes != INVALID_FILE_ATTRIBUTES &&
               SetFileAttributesW(replacement.name.c_str(), attributes) != 0 &&
               MoveFileExW(replacement.name.c_str(), replacement.target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!replaced) DeleteFileW(replacement.name.c_str());
  replacement_.reset();
  return replaced;
}

void OutputFile::discard() {
  if (file_ != nullptr) {
    // What was read before the failure still reaches a copy of its own name.
    if (!replacement_) std::fflush(file_);
    std::fclose(file_);
    file_ = nullptr;
  }
  if (replacement_) DeleteFileW(replacement_->name.c_str());
  replacement_.reset();
}

}  // namespace skewquad::platform
