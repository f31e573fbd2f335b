// One file's job: check, mend or diff, and the files a report shows.
#include "scan/file_job.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <system_error>

#include "platform/files.h"
#include "scan/line_edits.h"
#include "scan/scan_texts.h"
#include "writer/copy_stream.h"

namespace skewquad {
namespace {

std::string problem_text(int error) { return std::generic_category().message(error); }

// The findings of a diff's first reading, each as the diff mends it.
class AsMended final : public FindingSink {
 public:
  explicit AsMended(FindingSink& sink) : sink_(sink) {}
  void take(const Finding& finding) override {
    Finding mended = finding;
    mended.mended = finding.role != MendRole::kNone;
    sink_.take(mended);
  }

 private:
  FindingSink& sink_;
};

// The tally of a file as left: nothing of it was mended.
void unmended(RunTally& tally) {
  tally.mended_lines = 0;
  tally.resolved_errors = 0;
  tally.resolved_warnings = 0;
}

}  // namespace

bool ShownOnce::first(const std::string& key) {
  const std::lock_guard lock(mutex_);
  return shown_.insert(key).second;
}

void FileJob::run(ScanEntry& entry, RunTally& tally, const FileOutput& report,
                  const FileOutput& patch, SubFilesToShow& later) {
  if (!entry.problem.empty()) return;
  Analysis analysis = work_.analysis;
  if (entry.root < work_.libraries.size()) analysis.library = work_.libraries[entry.root];
  const std::string path = printer_.path_field(entry.path);
  bool not_regular = false;
  std::FILE* input = platform::open_regular_file(entry.path.c_str(), not_regular);
  if (input == nullptr) {
    entry.problem = not_regular ? "not a regular file" : problem_text(errno);
    return;
  }
  PrintingSink sink(printer_, path, report.text, kSlotBudget, report.when_full, occurrences_);
  reader_.restart(input);
  const FileText file{entry.path, input, {}};
  try {
    switch (work_.action) {
      case ScanAction::kReport:
        analyse_file(reader_, file, analysis, tally, sink);
        // Nothing was mended: the mends are only told.
        unmended(tally);
        break;
      case ScanAction::kFix:
        mend(entry, analysis, file, input, tally, sink);
        break;
      case ScanAction::kDiff:
        diff(entry, analysis, file, tally, sink, patch);
        break;
    }
    if (reader_.failed() && entry.problem.empty()) {
      entry.problem = problem_text(errno != 0 ? errno : EIO);
    }
    const bool findings =
        tally.fault_count + tally.error_count + tally.warning_count + tally.line_faults > 0;
    if (findings && input != nullptr && entry.problem.empty() && printer_.wants_file_text()) {
      show_file(entry, analysis.library, input, path, report, later);
    }
  } catch (const std::bad_alloc&) {
    entry.problem = problem_text(ENOMEM);
  }
  if (input != nullptr) std::fclose(input);
}

void FileJob::show_file(const ScanEntry& entry, const Library* library, std::FILE* input,
                        const std::string& path, const FileOutput& report, SubFilesToShow& later) {
  if (std::fseek(input, 0, SEEK_SET) != 0) return;
  reader_.restart(input);
  FileReferences references = printer_.file_lines(path, reader_, report.text, report.when_full);
  if (references.names.empty() || library == nullptr) return;
  later.library = library;
  later.from = entry.path;
  later.references = std::move(references);
}

void FileJob::show_sub_files(SubFilesToShow& later, const FileOutput& report) {
  if (later.library == nullptr) return;
  std::string problem;
  if (const LibraryColours* colours = later.library->colours(problem);
      colours != nullptr && shown_.first("colours\n" + colours->path)) {
    printer_.library_colours(*colours, report.text);
  }
  // Each sub-file the file reaches, and those they reach in turn, once in
  // the whole report.
  class Shown final : public SubFileVisitor {
   public:
    Shown(ReportPrinter& printer, ShownOnce& shown, const std::string& from,
          const FileOutput& report)
        : printer_(printer), shown_(shown), from_(from), report_(report) {}
    bool first(const std::string& key) override { return shown_.first(key); }
    FileReferences visit(const std::string& key, std::string_view text) override {
      LineReader lines;
      lines.restart(text);
      return printer_.sub_file_lines(key, lines, report_.text, report_.when_full);
    }
    void missing(const std::string& key) override {
      printer_.missing_sub_file(key, from_, report_.text);
    }

   private:
    ReportPrinter& printer_;
    ShownOnce& shown_;
    const std::string& from_;
    const FileOutput& report_;
  } shown(printer_, shown_, later.from, report);
  follow_sub_files(*later.library, later.from, std::move(later.references), shown);
  later = {};
}

void FileJob::diff(ScanEntry& entry, const Analysis& analysis, const FileText& file,
                   RunTally& tally, FindingSink& sink, const FileOutput& patch) {
  // A patch that names a path outside the folder it is applied in, or a
  // symbolic link, is refused whole by git apply: such a file's findings
  // are told, unmended.
  const char* refused = !is_diff_path(entry.path) ? text::kScanOutsideFolder
                        : std::filesystem::is_symlink(platform::path_of(entry.path))
                            ? text::kScanLinkNotDiffed
                            : nullptr;
  if (refused != nullptr) {
    entry.kind = EntryKind::kNotDiffed;
    entry.problem = refused;
    Analysis unmending = analysis;
    unmending.mends.mends = false;
    analyse_file(reader_, file, unmending, tally, sink);
    return;
  }
  AsMended as_mended(sink);
  FileFacts facts;
  analyse_file(reader_, file, analysis, tally, as_mended, nullptr, &facts);
  // A file with nothing to mend has no hunk.
  if (reader_.failed() || tally.mended_lines == 0) return;
  if (std::fseek(file.file, 0, SEEK_SET) != 0) {
    entry.problem = problem_text(errno);
    return;
  }
  reader_.restart(file.file);
  RunTally again;
  NoFindings no_findings;
  DiffEdits edits(entry.path, patch.text, kSlotBudget, patch.when_full);
  analyse_file(reader_, file, analysis, again, no_findings, &edits, &facts);
  if (!reader_.failed()) edits.finish();
}

void FileJob::mend(ScanEntry& entry, const Analysis& analysis, const FileText& file,
                   std::FILE*& input, RunTally& tally, FindingSink& sink) {
  // Each finding is told once the file is written, or known not to be:
  // only then can it say whether it was fixed.
  const std::optional<platform::FileStamp> as_read = platform::stamp_of(input);
  log_.clear();
  FileFacts facts;
  analyse_file(reader_, file, analysis, tally, log_, nullptr, &facts);
  const auto tell = [&](bool written) {
    if (!written) unmended(tally);
    if (!log_.replay(sink, written) && entry.problem.empty()) entry.problem = problem_text(errno);
  };
  // A file with nothing to mend is not touched, not even its time.
  if (reader_.failed() || tally.mended_lines == 0) return tell(false);
  const auto unwritten = [&](std::string problem) {
    entry.kind = EntryKind::kUnwritten;
    entry.problem = std::move(problem);
    tell(false);
  };
  if (!as_read || std::fseek(input, 0, SEEK_SET) != 0) return unwritten(problem_text(errno));
  // In place, as the classic fix writes a file over itself: a private copy
  // that takes the file's place only if all went well and the name still
  // holds the very file that was read, as it was read.
  bool changed = false;
  const std::unique_ptr<platform::OutputFile> output =
      platform::OutputFile::replace(entry.path.c_str(), input, *as_read, changed);
  if (output == nullptr) {
    return unwritten(changed ? text::kScanChangedWhileChecked : problem_text(errno));
  }
  reader_.restart(input);
  RunTally again;
  NoFindings no_findings;
  CopyStream copy(output->file());
  CopyEdits edits(copy);
  analyse_file(reader_, file, analysis, again, no_findings, &edits, &facts);
  if (reader_.failed()) {
    output->discard();
    entry.problem = problem_text(errno != 0 ? errno : EIO);
    return tell(false);
  }
  // The input is closed first, as the classic fix closes it: some systems
  // replace no file that is open.
  const bool closed = std::fclose(input) == 0;
  input = nullptr;
  errno = 0;
  if (!closed) {
    output->discard();
    return unwritten(problem_text(errno != 0 ? errno : EIO));
  }
  if (!copy.flush() || !output->commit()) {
    return unwritten(output->changed() ? text::kScanChangedWhileChecked
                     : errno != 0      ? problem_text(errno)
                                       : problem_text(EIO));
  }
  tell(true);
}

}  // namespace skewquad
