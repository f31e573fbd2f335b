// The classic check run: opening, the loop with its console report, the
// summary, and the failures that end a run with status 2.
#include "driver/run_check.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "driver/bands.h"
#include "driver/check_loop.h"
#include "driver/console.h"
#include "driver/console_texts.h"
#include "driver/output_file.h"
#include "text/line_reader.h"

namespace skewquad {
namespace {

constexpr int kFileStatus = 2;

int fail(const char* format, const char* name) {
  std::printf(format, name);
  std::fputs(text::kQuitPrompt, stdout);
  wait_for_enter();
  return kFileStatus;
}

// A folder opens for reading on some systems but is no file to check.
std::FILE* open_input(const char* name) {
  std::error_code error;
  if (std::filesystem::is_directory(name, error)) return nullptr;
  return std::fopen(name, "rb");
}

}  // namespace

int run_check(const char* input_name, const char* output_name, const AngleLimits& limits,
              const ModeFlags& flags) {
  std::FILE* input = open_input(input_name);
  if (input == nullptr) return fail(text::kCantOpen, input_name);

  std::unique_ptr<OutputFile> output;
  if (output_name != nullptr) {
    output = OutputFile::create(output_name, input_name);
    if (output == nullptr) return fail(text::kCantCreate, output_name);
  }

  std::fputs(text::kProcessing, stdout);
  RunTally tally;
  LineReader reader(input);
  check_lines(reader, output ? &output->stream() : nullptr, limits, flags, tally,
              [](const QuadReport& report) { print_quad_report(report, stdout); });
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
  if (output && !output->commit()) return fail(text::kCantWrite, output_name);

  std::fputs(text::kFinalQuitPrompt, stdout);
  wait_for_enter();
  return 0;
}

}  // namespace skewquad
