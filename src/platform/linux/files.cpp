// The input and output files on POSIX systems. A copy that replaces its
// input is an unnamed file in the input's folder (O_TMPFILE, where the
// system has it; otherwise a short name made exclusively, mode 0600), given
// the input's attributes, owner and mode through its descriptor, flushed to
// disk, linked in under a short name and renamed over the input, and the
// folder flushed after it.
#include "platform/files.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/xattr.h>
#endif

#include "platform/posix/cleanup_on_signal.h"

namespace skewquad::platform {
namespace {

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A name for the copy beside the input, short whatever the input's name, so
// that an input with the longest name a folder allows can still be fixed.
std::string private_name() {
  // One generator a thread: the workers of a scan make copies at once.
  thread_local std::mt19937_64 random{std::random_device{}()};
  constexpr char kHexDigits[] = "0123456789abcdef";
  std::string name = ".skewquad-";
  std::uint64_t bits = random();
  for (int digit = 0; digit < 16; ++digit, bits >>= 4) name += kHexDigits[bits & 15];
  return name;
}

// Copies every extended attribute (access control lists among them) of the
// file open as `from` to the file open as `to`.
bool copy_attributes(int from, int to) {
#if defined(__linux__)
  // Attributes the process may not be allowed to set on a file of its own:
  // a security label is given by the system's policy, trusted attributes
  // need administrator rights. Any other attribute that cannot be copied
  // fails the replacement rather than being lost.
  const auto may_be_left_behind = [](const std::string& name) {
    return name.starts_with("security.") || name.starts_with("trusted.");
  };
  std::vector<char> names;
  for (;;) {
    const ssize_t size = flistxattr(from, nullptr, 0);
    if (size < 0) return errno == ENOTSUP;
    if (size == 0) return true;
    names.resize(static_cast<std::size_t>(size));
    if (flistxattr(from, names.data(), names.size()) == size) break;
    if (errno != ERANGE) return false;
  }
  std::vector<char> value;
  for (std::size_t at = 0; at < names.size();) {
    const std::string name(names.data() + at);
    at += name.size() + 1;
    const ssize_t size = fgetxattr(from, name.c_str(), nullptr, 0);
    if (size < 0) return false;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t read = fgetxattr(from, name.c_str(), value.data(), value.size());
    if (read < 0 ||
        fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(read), 0) != 0) {
      if (!may_be_left_behind(name)) return false;
    }
  }
#else
  (void)from;
  (void)to;
#endif
  return true;
}

}  // namespace

// A copy that replaces its input.
struct OutputFile::Replacement {
  int folder = -1;          // the input's folder (after symbolic links)
  std::string target_name;  // the input's name in that folder
  int input = -1;           // the input, as the run opened it
  struct stat input_status {};
  std::string name;  // the copy's own name in the folder, once it has one
  std::unique_ptr<NameOnSignal> on_signal;

  Replacement() = default;
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;
  ~Replacement() {
    if (input >= 0) close(input);
    if (folder >= 0) close(folder);
  }

  // The input's owner, group, attributes and mode, set through the copy's
  // descriptor, never by name. When the owner cannot be kept, neither is
  // the set-user-ID bit, nor set-group-ID when the group cannot be kept.
  bool take_input_metadata(int copy) const {
    const bool owner_kept = fchown(copy, input_status.st_uid, input_status.st_gid) == 0;
    const bool group_kept =
        owner_kept || fchown(copy, static_cast<uid_t>(-1), input_status.st_gid) == 0;
    if (!copy_attributes(input, copy)) return false;
    mode_t mode = input_status.st_mode & 07777;
    if (!owner_kept) mode &= ~static_cast<mode_t>(S_ISUID);
    if (!group_kept) mode &= ~static_cast<mode_t>(S_ISGID);
    return fchmod(copy, mode) == 0;
  }

  // The input is still the file the run opened, under its name, with the
  // size and modification time it had.
  bool input_unchanged() const {
    struct stat now {};
    struct stat at_name {};
    return fstat(input, &now) == 0 && now.st_size == input_status.st_size &&
           now.st_mtim.tv_sec == input_status.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == input_status.st_mtim.tv_nsec &&
           fstatat(folder, target_name.c_str(), &at_name, AT_SYMLINK_NOFOLLOW) == 0 &&
           same_file(at_name, input_status);
  }

  // Registers `candidate` for removal by a signal; called in an open
  // naming section, before the name is made, so that no moment passes
  // when the name exists unregistered.
  bool register_name(const NamingSection& section, const std::string& candidate) {
    if (section.open()) {
      on_signal = std::make_unique<NameOnSignal>(folder, candidate.c_str());
      if (on_signal->registered()) return true;
      on_signal.reset();
    }
    errno = section.open() ? EAGAIN : EINTR;
    return false;
  }

  // Gives the unnamed copy a short name of its own in the folder.
  bool link_in(int copy) {
    const std::string path = "/proc/self/fd/" + std::to_string(copy);
    for (int attempt = 0; attempt < 100; ++attempt) {
      const NamingSection section;
      std::string candidate = private_name();
      if (!register_name(section, candidate)) return false;
      if (linkat(AT_FDCWD, path.c_str(), folder, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        name = std::move(candidate);
        return true;
      }
      on_signal.reset();
      if (errno != EEXIST) return false;
    }
    return false;
  }

  // Whether the copy's name still refers to the copy: a name in a folder
  // others may write could have been swapped for something else.
  bool name_is(int copy) const {
    struct stat at_name {};
    struct stat opened {};
    return fstatat(folder, name.c_str(), &at_name, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstat(copy, &opened) == 0 && same_file(at_name, opened);
  }

  // Removes the copy's name, if it has one.
  void drop_name() {
    if (name.empty()) return;
    unlinkat(folder, name.c_str(), 0);
    on_signal.reset();
    name.clear();
  }
};

std::filesystem::path path_of(const std::string& name) { return name; }

std::optional<FileStamp> stamp_of(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) != 0) return std::nullopt;
  return FileStamp{{status.st_dev, status.st_ino},
                   static_cast<std::uint64_t>(status.st_size),
                   status.st_mtim.tv_sec,
                   status.st_mtim.tv_nsec};
}

std::FILE* open_scratch_file() { return std::tmpfile(); }

std::string name_of(const std::filesystem::path& path) { return path.string(); }

std::FILE* create_new_file(const char* name) {
  const int file = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (file < 0) return nullptr;
  std::FILE* stream = fdopen(file, "wb");
  if (stream == nullptr) close(file);
  return stream;
}

std::FILE* open_input(const char* name) {
  const int input = open(name, O_RDONLY | O_CLOEXEC);
  if (input < 0) return nullptr;
  struct stat status {};
  if (fstat(input, &status) != 0 || S_ISDIR(status.st_mode)) {
    const int problem = S_ISDIR(status.st_mode) ? EISDIR : errno;
    close(input);
    errno = problem;
    return nullptr;
  }
  std::FILE* file = fdopen(input, "rb");
  if (file == nullptr) close(input);
  return file;
}

std::FILE* open_regular_file(const char* name, bool& not_regular) {
  not_regular = false;
  const int input = open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (input < 0) return nullptr;
  struct stat status {};
  if (fstat(input, &status) != 0 || !S_ISREG(status.st_mode)) {
    const int problem = errno;
    not_regular = !S_ISREG(status.st_mode);
    close(input);
    errno = problem;
    return nullptr;
  }
  // A regular file never makes a read wait; the flag goes all the same, so
  // that the stream reads as it always does.
  const int flags = fcntl(input, F_GETFL);
  std::FILE* file =
      flags < 0 || fcntl(input, F_SETFL, flags & ~O_NONBLOCK) < 0 ? nullptr : fdopen(input, "rb");
  if (file == nullptr) close(input);
  return file;
}

std::optional<FileIdentity> identity_of(const std::string& name) {
  struct stat status {};
  if (stat(name.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{status.st_dev, status.st_ino};
}

char separator_for(const std::string& /*given*/) { return '/'; }

bool is_separator(char c) { return c == '/'; }

bool has_root_name(std::string_view /*path*/) { return false; }

bool name_one_special_file(const char* input_name, const char* output_name) {
  struct stat input {};
  struct stat output {};
  return stat(input_name, &input) == 0 && stat(output_name, &output) == 0 &&
         same_file(input, output) && !S_ISREG(input.st_mode) && !S_ISDIR(input.st_mode);
}

OutputFile::OutputFile(std::FILE* file, std::unique_ptr<Replacement> replacement)
    : file_(file), replacement_(std::move(replacement)) {}

OutputFile::~OutputFile() { discard(); }

std::unique_ptr<OutputFile> OutputFile::create(const char* name, std::FILE* input) {
  struct stat output_status {};
  struct stat input_status {};
  if (stat(name, &output_status) != 0 || fstat(fileno(input), &input_status) != 0 ||
      !same_file(output_status, input_status)) {
    const int copy = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (copy < 0) return nullptr;
    std::FILE* file = fdopen(copy, "wb");
    if (file == nullptr) {
      close(copy);
      return nullptr;
    }
    return std::unique_ptr<OutputFile>(new OutputFile(file, nullptr));
  }
  if (!S_ISREG(input_status.st_mode)) return nullptr;
  return replacing(name, input);
}

std::unique_ptr<OutputFile> OutputFile::replace(const char* name, std::FILE* input,
                                                const FileStamp& as_read, bool& changed) {
  changed = false;
  // The name must still hold the very file that was read, as it was read;
  // nothing is opened through a name that holds anything else.
  struct stat at_name {};
  if (stat(name, &at_name) != 0 || !S_ISREG(at_name.st_mode) ||
      FileIdentity{at_name.st_dev, at_name.st_ino} != as_read.identity) {
    changed = true;
    return nullptr;
  }
  std::unique_ptr<OutputFile> output = replacing(name, input);
  if (output == nullptr) return nullptr;
  const struct stat& status = output->replacement_->input_status;
  if (!(FileStamp{{status.st_dev, status.st_ino},
                  static_cast<std::uint64_t>(status.st_size),
                  status.st_mtim.tv_sec,
                  status.st_mtim.tv_nsec} == as_read)) {
    changed = true;
    return nullptr;
  }
  return output;
}

std::unique_ptr<OutputFile> OutputFile::replacing(const char* name, std::FILE* input) {
  struct stat input_status {};
  if (fstat(fileno(input), &input_status) != 0) return nullptr;
  // The file a symbolic link points to is replaced, so that the link stays
  // a link. A file that could not be opened for writing is not replaced.
  std::unique_ptr<char, decltype(&std::free)> target(realpath(name, nullptr), &std::free);
  if (target == nullptr) return nullptr;
  const int writable = open(target.get(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  if (writable < 0) return nullptr;
  close(writable);
  const std::string path(target.get());
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == 0 ? "/" : path.substr(0, slash);

  auto replacement = std::make_unique<Replacement>();
  replacement->target_name = path.substr(slash + 1);
  replacement->input_status = input_status;
  replacement->folder = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  replacement->input = fcntl(fileno(input), F_DUPFD_CLOEXEC, 0);
  if (replacement->folder < 0 || replacement->input < 0) return nullptr;

  std::FILE* file = nullptr;
#if defined(O_TMPFILE)
  const int copy = openat(replacement->folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (copy >= 0) {
    file = fdopen(copy, "wb");
    if (file == nullptr) close(copy);
  }
#endif
  // Where the system has no unnamed files: a short name, made exclusively.
  for (int attempt = 0; file == nullptr && attempt < 100; ++attempt) {
    const NamingSection section;
    std::string candidate = private_name();
    if (!replacement->register_name(section, candidate)) return nullptr;
    std::string path = folder;
    path += '/';
    path += candidate;
    file = create_new_file(path.c_str());
    if (file != nullptr) {
      replacement->name = std::move(candidate);
    } else {
      replacement->on_signal.reset();
      if (errno != EEXIST) break;
    }
  }
  if (file == nullptr) return nullptr;
  return std::unique_ptr<OutputFile>(new OutputFile(file, std::move(replacement)));
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
  const int copy = fileno(file_);
  const bool prepared = written && replacement.take_input_metadata(copy) && fsync(copy) == 0;
  changed_ = prepared && !replacement.input_unchanged();
  const bool ready = prepared && !changed_ &&
                     (!replacement.name.empty() || replacement.link_in(copy)) &&
                     replacement.name_is(copy);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!ready || !closed) {
    replacement.drop_name();
    replacement_.reset();
    return false;
  }
  // Should a signal remove the copy's name first, the rename fails and the
  // file stays as it was; once renamed, the name it removes is gone.
  const bool renamed = renameat(replacement.folder, replacement.name.c_str(), replacement.folder,
                                replacement.target_name.c_str()) == 0;
  if (renamed) {
    replacement.on_signal.reset();
    replacement.name.clear();
  }
  if (!renamed) {
    replacement.drop_name();
    replacement_.reset();
    return false;
  }
  // The rename is durable once the folder is; a folder that cannot be
  // flushed (some file systems refuse) has nothing more to lose than that.
  const bool durable = fsync(replacement.folder) == 0 || errno != EIO;
  replacement_.reset();
  return durable;
}

void OutputFile::discard() {
  if (replacement_) replacement_->drop_name();
  if (file_ != nullptr) {
    // What was read before the failure still reaches a copy of its own name.
    if (!replacement_) std::fflush(file_);
    std::fclose(file_);
    file_ = nullptr;
  }
  replacement_.reset();
}

}  // namespace skewquad::platform
