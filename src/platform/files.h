// The files a run reads and writes, as each operating system opens them:
// the input, and the output, which may safely replace the input itself.
#pragma once

#include <compare>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace skewquad::platform {

// File names inside the tool are bytes: on Windows UTF-8, elsewhere the
// system's own bytes, whatever they are.

/// The path of the file named `name`.
std::filesystem::path path_of(const std::string& name);

/// The name of `path`, as the tool holds names.
std::string name_of(const std::filesystem::path& path);

/// Opens the file `name` for reading, bytes as they are; nullptr, with errno
/// saying why, when it cannot be opened or is a folder.
std::FILE* open_input(const char* name);

/// Opens the file `name` for reading only if it is a regular file, without
/// waiting to open a FIFO or a device (the check is made on what was opened,
/// so no change of the name in between can make it wait): nullptr, with
/// errno saying why, when it cannot be opened, and with `not_regular` set
/// when it is something else than a regular file.
std::FILE* open_regular_file(const char* name, bool& not_regular);

/// What tells one file from another whatever its name: device and inode (on
/// Windows, volume and file index).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  // NOLINTNEXTLINE(modernize-use-nullptr): clang-tidy 14 misreads a defaulted <=>
  auto operator<=>(const FileIdentity& other) const = default;
};

/// A file as it was when it was read: which file, its size and the time it
/// was last modified.
struct FileStamp {
  FileIdentity identity;
  std::uint64_t size = 0;
  std::int64_t modified_seconds = 0;
  std::int64_t modified_fraction = 0;  // nanoseconds, or the system's own finer unit
  bool operator==(const FileStamp& other) const = default;
};

/// The stamp of the file open as `file`; nothing when it cannot be known.
std::optional<FileStamp> stamp_of(std::FILE* file);

/// A file to write and read back, private to the process and gone once
/// closed (or once the process ends); nullptr, with errno saying why, when
/// none can be made.
std::FILE* open_scratch_file();

/// The identity of the file `name` (links followed); nothing when it cannot
/// be known.
std::optional<FileIdentity> identity_of(const std::string& name);

/// The separator to join names below the path `given` with: the one the
/// user typed there, where the system takes more than one.
char separator_for(const std::string& given);

/// True for a character that separates the names of a path.
bool is_separator(char c);

/// True when `path` begins with a root name of its own (on Windows a drive,
/// "C:"): it is not relative to the current folder, even without a
/// separator first.
bool has_root_name(std::string_view path);

/// Creates the file `name` for writing (private to its owner where files
/// have modes) only if no file of that name exists: an existing file is
/// never opened, let alone emptied. nullptr, with errno saying why (EEXIST
/// when it exists), otherwise.
std::FILE* create_new_file(const char* name);

/// True when the two names refer to one file that is neither a regular file
/// nor a folder (a FIFO or a device, say): it cannot be fixed in place, and
/// opening it to read could wait for a writer that never comes.
bool name_one_special_file(const char* input_name, const char* output_name);

/// Where the copy goes. When its name refers to the input file itself (the
/// same file under any name or through a symbolic link), the copy is
/// written to a file no one else can open and only takes the input's place,
/// with the input's permissions, owner and attributes, once the run has
/// succeeded and the input is seen unchanged; otherwise it is the named
/// file, created or emptied.
class OutputFile {
 public:
  /// The output `name` for the input open as `input`; nullptr when it
  /// cannot be created, or names the input and the input is not a regular
  /// file or cannot be written.
  static std::unique_ptr<OutputFile> create(const char* name, std::FILE* input);

  /// The copy that replaces the file `name`, which was read through `input`
  /// and was `as_read` when its reading began. nullptr when the name no
  /// longer holds that very file as it was (renamed over, removed, changed,
  /// or replaced by a link to another file, a FIFO, a device), with
  /// `changed` set; or when the copy cannot be made, with errno saying why.
  /// Nothing is ever opened, created or emptied through the name.
  static std::unique_ptr<OutputFile> replace(const char* name, std::FILE* input,
                                             const FileStamp& as_read, bool& changed);

  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  /// Discards the copy unless it was committed.
  ~OutputFile();

  /// The stream the copy is written to.
  std::FILE* file() const { return file_; }

  /// Flushes and closes the copy and, when it replaces the input, puts it
  /// durably in the input's place. False if anything failed, or the input
  /// changed while the run read it: the input is then as it was (or as the
  /// other process left it) and nothing of the copy is left.
  bool commit();

  /// True when commit failed because the input changed while it was read.
  bool changed() const { return changed_; }

  /// Closes the copy after a failed run; a copy meant to replace the input
  /// is dropped without a trace, a copy of its own name keeps what it holds.
  void discard();

 private:
  // What a copy that replaces its input needs; each system has its own.
  struct Replacement;

  OutputFile(std::FILE* file, std::unique_ptr<Replacement> replacement);

  // A private copy that replaces the file `name`, open as `input`.
  static std::unique_ptr<OutputFile> replacing(const char* name, std::FILE* input);

  std::FILE* file_;
  std::unique_ptr<Replacement> replacement_;  // none for a copy of its own name
  bool changed_ = false;
};

}  // namespace skewquad::platform
