// The classic check run: opening, the loop with its console report, the
// summary, and the failures that end a run.
#include "classic/run_check.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "check/check_loop.h"
#include "check/exit_status.h"
#include "classic/console_report.h"
#include "classic/console_texts.h"
#include "platform/files.h"
#include "text/line_reader.h"
#include "writer/copy_stream.h"

namespace skewquad {
namespace {

int fail(const char* format, const char* name) {
  std::printf(format, name);
  std::fputs(text::kQuitPrompt, stdout);
  return exit_status::kFile;
}

}  // namespace

int run_check(const char* input_name, const char* output_name, const AngleLimits& limits,
              const ModeFlags& flags) {
  // A FIFO or device named as both input and output is refused before it is
  // opened: opening it to read would wait for a writer, the tool itself.
  if (output_name != nullptr && platform::name_one_special_file(input_name, output_name)) {
    return fail(text::kCantCreate, output_name);
  }
  std::FILE* input = platform::open_input(input_name);
  if (input == nullptr) return fail(text::kCantOpen, input_name);

  std::unique_ptr<platform::OutputFile> output;
  std::optional<CopyStream> copy;
  if (output_name != nullptr) {
    output = platform::OutputFile::create(output_name, input);
    if (output == nullptr) return fail(text::kCantCreate, output_name);
    copy.emplace(output->file());
  }

  std::fputs(text::kProcessing, stdout);
  RunTally tally;
  LineReader reader(input);
  ConsoleReport console(stdout);
  check_lines(reader, copy ? &*copy : nullptr, check_rules_for(limits), flags, tally, console);
  if (reader.failed()) {
    std::fclose(input);
    if (output) output->discard();
    return fail(text::kCantRead, input_name);
  }

  print_summary(tally, limits, stdout);
  if (std::fclose(input) != 0) {
    if (output) output->discard();
    return fail(text::kCantRead, input_name);
  }
  if (output && !(copy->flush() && output->commit())) return fail(text::kCantWrite, output_name);

  std::fputs(text::kFinalQuitPrompt, stdout);
  return exit_status::kSuccess;
}

}  // namespace skewquad
