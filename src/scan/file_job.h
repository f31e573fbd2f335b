// What the scan does with one file: checks it and reports its findings,
// mends it in place, or writes the diff of its mends; and, for a report
// that shows files, adds its drawing lines and those of the sub-files they
// reach, each sub-file once in the whole report.
#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "ldraw/analysis.h"
#include "scan/finding_log.h"
#include "scan/library_walk.h"
#include "scan/report_printer.h"
#include "scan/scan_options.h"
#include "text/line_reader.h"

namespace skewquad {

/// What the scan does with every file.
struct ScanWork {
  Analysis analysis;  // the checks and mends; the library is each path's
  ScanAction action = ScanAction::kReport;
  // The library of the files found through each path given, by its place.
  std::vector<const Library*> libraries;
};

/// The sub-files and colours a report has shown, so that each is shown
/// once.
class ShownOnce {
 public:
  /// True the first time it is asked for `key`.
  bool first(const std::string& key);

 private:
  std::mutex mutex_;
  std::set<std::string> shown_;
};

/// The sub-files a file's report reaches, to be shown after it: by the
/// reporting thread, in the files' order, so that each is shown with the
/// first file that reaches it whatever the workers did first.
struct SubFilesToShow {
  const Library* library = nullptr;
  std::string from;  // the file's path, as walked
  FileReferences references;
};

/// Where one file's report and diff go: into a buffer, handed on whenever
/// it holds a budget's worth.
struct FileOutput {
  std::string& text;
  std::function<void(std::string&)> when_full;
};

/// One worker's means of doing each file's job, kept from file to file.
class FileJob {
 public:
  FileJob(const ScanWork& work, ReportPrinter& printer, ShownOnce& shown)
      : work_(work), printer_(printer), shown_(shown) {}

  /// Does the job of `entry` (which gets the problem, if any, and its kind
  /// when its mends cannot be written), counting in `tally`; a report that
  /// shows files leaves in `later` the sub-files the file reaches.
  void run(ScanEntry& entry, RunTally& tally, const FileOutput& report, const FileOutput& patch,
           SubFilesToShow& later);

  /// Shows the library's colours and each sub-file of `later` not shown
  /// before, and those they reach in turn. Called in the files' order.
  void show_sub_files(SubFilesToShow& later, const FileOutput& report);

 private:
  void mend(ScanEntry& entry, const Analysis& analysis, const FileText& file, std::FILE*& input,
            RunTally& tally, FindingSink& sink);
  void diff(ScanEntry& entry, const Analysis& analysis, const FileText& file, RunTally& tally,
            FindingSink& sink, const FileOutput& patch);
  void show_file(const ScanEntry& entry, const Library* library, std::FILE* input,
                 const std::string& path, const FileOutput& report, SubFilesToShow& later);

  const ScanWork& work_;
  ReportPrinter& printer_;
  ShownOnce& shown_;
  LineReader reader_;
  LineOccurrences occurrences_;
  FindingLog log_{kFindingLogBudget};
  static constexpr std::size_t kFindingLogBudget = std::size_t{64} * 1024;
};

}  // namespace skewquad
