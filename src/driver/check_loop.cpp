#include "driver/check_loop.h"

#include "driver/console_texts.h"
#include "geometry/quad.h"
#include "geometry/warp.h"
#include "writer/split_writer.h"

namespace skewquad {
namespace {

static_assert(kReadableAfterPiece >= kWordPadding,
              "quad lines are read where the reader left them");

void count_quad(double max, long long line_number, const AngleLimits& limits, RunTally& tally,
                std::FILE* console) {
  // Strict comparisons throughout: a quad exactly at a limit falls in the
  // band below it, and one whose angle is no number falls in none.
  if (max > limits.error) {
    std::fprintf(console, text::kQuadAboveError, line_number, max);
    ++tally.error_count;
  } else if (max > limits.warning) {
    ++tally.warning_count;
  } else if (max > limits.low) {
    ++tally.low_count;
  }
}

}  // namespace

void check_lines(LineReader& input, CopyStream* copy, const AngleLimits& limits,
                 const ModeFlags& flags, RunTally& tally, std::FILE* console) {
  const double planar_sine = sine_surely_below(limits.low);
  // Quads recognised as lying in a coordinate plane fold by exactly 0 (or
  // by no number, when degenerate): in no band while every limit is at
  // least 0, and then neither measured nor read further.
  const bool flat_in_no_band = limits.low >= 0.0 && limits.warning >= 0.0 && limits.error >= 0.0;
  QuadLine quad;
  std::string_view piece;
  std::string_view last_line_end = "\n";
  // Pieces copied as read are held back while they follow one another in
  // the reader's buffer, and reach the copy as one run.
  std::string_view unchanged;
  const auto copy_as_read = [&](std::string_view next_piece) {
    if (unchanged.data() + unchanged.size() == next_piece.data()) {
      unchanged = std::string_view(unchanged.data(), unchanged.size() + next_piece.size());
      return;
    }
    copy->write(unchanged);
    unchanged = next_piece;
  };
  const auto hand_over_unchanged = [&] {
    copy->write(unchanged);
    unchanged = {};
  };
  for (;;) {
    if (copy != nullptr && input.may_move_next()) hand_over_unchanged();
    if (!input.next(piece)) break;
    ++tally.line_number;
    // A warped quad piece with no line end of its own is ended like the
    // pieces before it.
    if (copy != nullptr && piece.back() == '\n') last_line_end = line_end_of(piece);
    if (probe_line_type(piece) != kQuadLineType) {
      if (copy != nullptr) copy_as_read(piece);
      continue;
    }
    const QuadReading reading = flat_in_no_band           ? read_quad(piece, quad)
                                : parse_quad(piece, quad) ? QuadReading::kParsed
                                                          : QuadReading::kIncomplete;
    if (reading == QuadReading::kIncomplete) {
      std::fprintf(console, text::kInvalidQuad, tally.line_number);
      if (copy != nullptr) copy_as_read(piece);
      continue;
    }
    if (reading == QuadReading::kInCoordinatePlane) {
      if (copy != nullptr) copy_as_read(piece);
      continue;
    }
    if (folds_surely_below(quad, planar_sine)) {
      if (copy != nullptr) copy_as_read(piece);
      continue;
    }
    const FoldSines sines = fold_sines(quad);
    // A quad whose folds are both surely below the low angle is in no band
    // and copied as read, whatever its angle to the last bit: the arcsine,
    // the dearest step of the measure, is not needed.
    if (sines.about_24 < planar_sine && sines.about_13 < planar_sine) {
      if (copy != nullptr) copy_as_read(piece);
      continue;
    }
    const WarpMeasure measure = warp_of(sines);
    if (copy != nullptr) {
      if (measure.max > limits.warning) {
        hand_over_unchanged();
        write_split(*copy, piece, quad, measure, limits, flags, last_line_end);
      } else {
        copy_as_read(piece);
      }
    }
    count_quad(measure.max, tally.line_number, limits, tally, console);
  }
  if (copy != nullptr) hand_over_unchanged();
}

void print_summary(const RunTally& tally, const AngleLimits& limits, std::FILE* console) {
  std::fputs(text::kSummaryHeading, console);
  if (tally.low_count > 0) {
    std::fprintf(console, text::kLowBand, tally.low_count, limits.low, limits.warning);
  }
  if (tally.warning_count > 0) {
    std::fprintf(console, text::kWarningBand, tally.warning_count, limits.warning, limits.error);
  } else {
    std::fprintf(console, text::kNoWarning, limits.warning, limits.error);
  }
  if (tally.error_count > 0) {
    std::fprintf(console, text::kErrorBand, tally.error_count, limits.error);
  } else {
    std::fprintf(console, text::kNoError, limits.error);
  }
  std::fputs(text::kSummaryRule, console);
  if (tally.error_count > 0) {
    std::fprintf(console, text::kWarpedCount, tally.error_count);
  } else if (are_standard(limits)) {
    std::fputs(text::kAllPlanar, console);
  }
}

}  // namespace skewquad
