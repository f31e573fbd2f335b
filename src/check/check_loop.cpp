// The line loop: pieces in, quads judged, the copy out in runs.
#include "check/check_loop.h"

#include "geometry/quad_mend.h"
#include "text/quad_line_reader.h"
#include "writer/split_writer.h"

namespace skewquad {
namespace {

// The line checks beyond the quads' on a line of `type` (or the geometry of
// a texture-map line), counted in the tally. `geometry` is set to the line
// checked within the piece; a quad's words, when located, are kept in
// `quad_words` for its judge.
LineVerdict check_other_checks(std::string_view piece, std::int32_t type, const CheckRules& rules,
                               RunTally& tally, FindingSink& sink, LineMending mending,
                               std::string_view& geometry, std::int32_t& geometry_type,
                               QuadWords* quad_words = nullptr) {
  // A line longer than a piece is not checked past its first piece.
  if (piece.back() != '\n' && piece.size() >= kPieceCharacters) return {};
  geometry = piece;
  if (type == 0) {
    geometry = texture_map_geometry(piece);
    if (geometry.empty()) return {};
    type = probe_line_type(geometry);
    // A texture map's geometry is checked as the line it is, but a quad's
    // shape and warp are not, and nothing of it is removed.
    mending.removal = false;
  }
  geometry_type = type;
  if (type < 1 || type > 5) return {};
  LineVerdict verdict =
      check_line(geometry, type, tally.line_number, rules.lines, sink, mending, quad_words);
  tally.line_faults += verdict.faults;
  tally.mended_errors += verdict.mended;
  if (piece.data() != geometry.data()) {
    verdict.settled = false;
    verdict.quad_located = false;
  }
  if (verdict.settled) ++tally.quad_count;
  return verdict;
}

}  // namespace

void check_lines(LineReader& input, CopyStream* copy, const CheckRules& rules,
                 const ModeFlags& flags, RunTally& tally, FindingSink& sink) {
  // Settled once: read through the references line after line, they could
  // not be kept in registers past the tally's writes.
  const bool physical_lines = rules.mode == CheckMode::kLibrary;
  const bool other_checks = rules.lines.groups.beyond_quads();
  const bool quad_checks = rules.lines.groups.quads;
  bool at_line_start = true;
  QuadLine quad;
  std::string_view piece;
  std::string_view last_line_end = "\n";
  // Pieces copied as read are held back while they follow one another in
  // the reader's buffer, and reach the copy as one run.
  std::string_view unchanged;
  const auto hand_over_unchanged = [&] {
    copy->write(unchanged);
    unchanged = {};
  };
  for (;;) {
    if (copy != nullptr && input.may_move_next()) hand_over_unchanged();
    if (!input.next(piece)) break;
    QuadJudgement judgement;
    // The rest of a physical line longer than a piece is neither a line of
    // its own nor a quad, however it begins.
    if (at_line_start || !physical_lines) {
      ++tally.line_number;
      const std::int32_t type = probe_line_type(piece);
      std::string_view geometry;
      std::int32_t geometry_type = 0;
      LineVerdict verdict;
      QuadWords quad_words;
      if (other_checks) {
        verdict = check_other_checks(piece, type, rules, tally, sink, {}, geometry, geometry_type,
                                     &quad_words);
      }
      if (verdict.settled) {
        // A quad in the edge colour is settled by its colour.
      } else if (type == kQuadLineType && quad_checks) {
        judgement = judge_quad(piece, rules, quad, verdict.quad_located ? &quad_words : nullptr);
        count_quad(judgement.fate, tally);
        if (is_fault(judgement.fate) || is_split(judgement.fate)) {
          sink.take(
              quad_finding(tally.line_number, judgement.fate, judgement.measure.max, false, piece));
        }
      }
    }
    at_line_start = piece.back() == '\n';
    if (copy == nullptr) continue;
    // A warped quad piece with no line end of its own is ended like the
    // pieces before it.
    if (piece.back() == '\n') last_line_end = line_end_of(piece);
    if (is_split(judgement.fate)) {
      hand_over_unchanged();
      write_split(*copy, piece, quad, judgement.measure, rules.limits, flags, last_line_end);
    } else if (unchanged.data() + unchanged.size() == piece.data()) {
      unchanged = std::string_view(unchanged.data(), unchanged.size() + piece.size());
    } else {
      copy->write(unchanged);
      unchanged = piece;
    }
  }
  if (copy != nullptr) hand_over_unchanged();
}

namespace {

bool is_at_level(QuadFate fate, MendLevel level) {
  return is_fault(fate) || fate == QuadFate::kError ||
         (fate == QuadFate::kWarning && level == MendLevel::kWarnings);
}

ShapeFault shape_fault_of(QuadFate fate) {
  switch (fate) {
    case QuadFate::kIdenticalCorners:
      return ShapeFault::kIdenticalCorners;
    case QuadFate::kCollinearCorners:
      return ShapeFault::kCollinearCorners;
    case QuadFate::kNotConvex:
      return ShapeFault::kNotConvex;
    default:
      return ShapeFault::kNone;
  }
}

}  // namespace

void mend_lines(LineReader& input, const CheckRules& rules, MendLevel level, bool conditional,
                RunTally& tally, FindingSink& sink, LineEdits& edits) {
  QuadLine quad;
  std::string_view piece;
  std::string_view last_line_end = "\n";
  std::string replacement;
  std::string quad_mend;
  bool at_line_start = true;
  while (input.next(piece)) {
    const bool starts_line = at_line_start;
    at_line_start = piece.back() == '\n';
    if (at_line_start) last_line_end = line_end_of(piece);
    if (!starts_line) {
      edits.keep(piece);
      continue;
    }
    ++tally.line_number;
    const std::int32_t type = probe_line_type(piece);
    const bool whole_line = at_line_start || piece.size() < kPieceCharacters;
    std::string_view geometry;
    std::int32_t geometry_type = 0;
    replacement.clear();
    LineVerdict verdict;
    if (rules.lines.groups.beyond_quads()) {
      // The line without its needless zeros, worked out before its findings
      // are told so that each can say what it becomes.
      const std::string_view line = type == 0 ? texture_map_geometry(piece) : piece;
      if (whole_line && !line.empty()) {
        append_without_needless_zeros(replacement, piece, line, probe_line_type(line));
      }
      verdict = check_other_checks(piece, type, rules, tally, sink,
                                   {whole_line, whole_line, replacement}, geometry, geometry_type);
      if (!verdict.rewrite_zeros) replacement.clear();
    }
    if (verdict.remove || verdict.settled || type != kQuadLineType || !rules.lines.groups.quads) {
      if (verdict.remove || verdict.rewrite_zeros) {
        edits.replace(piece, replacement);
      } else {
        edits.keep(piece);
      }
      continue;
    }
    const QuadJudgement judgement = judge_quad(piece, rules, quad);
    count_quad(judgement.fate, tally);
    // A line longer than a piece is left whole to the author. The quad's
    // own mend writes its numbers afresh.
    quad_mend.clear();
    if (whole_line && is_at_level(judgement.fate, level)) {
      if (is_split(judgement.fate)) {
        append_warp_mend(quad_mend, piece, quad, judgement.measure, conditional, last_line_end);
      } else if (const ShapeMend mend = shape_mend(quad, shape_fault_of(judgement.fate));
                 mend.kind != ShapeMend::Kind::kNone) {
        append_shape_mend(quad_mend, piece, quad, mend, last_line_end);
      }
    }
    const bool mended = !quad_mend.empty();
    if (mended) {
      ++(judgement.fate == QuadFate::kWarning ? tally.mended_warnings : tally.mended_errors);
      edits.replace(piece, quad_mend);
    } else if (!replacement.empty()) {
      edits.replace(piece, replacement);
    } else {
      edits.keep(piece);
    }
    if (is_fault(judgement.fate) || is_split(judgement.fate)) {
      sink.take(quad_finding(tally.line_number, judgement.fate, judgement.measure.max, mended,
                             piece, quad_mend));
    }
  }
}

}  // namespace skewquad
