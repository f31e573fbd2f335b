// The line loops: pieces in, lines checked and judged, the copy or the
// mends out.
#include "check/check_loop.h"

#include <string>

#include "geometry/quad_mend.h"
#include "text/line_words.h"
#include "text/quad_line_reader.h"
#include "writer/split_writer.h"

namespace skewquad {

void check_lines(LineReader& input, CopyStream* copy, const CheckRules& rules,
                 const ModeFlags& flags, RunTally& tally, FindingSink& sink) {
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
    ++tally.line_number;
    QuadJudgement judgement;
    if (probe_line_type(piece) == kQuadLineType) {
      judgement = judge_quad(piece, rules, quad);
      count_quad(judgement.fate, tally);
      if (is_fault(judgement.fate) || is_split(judgement.fate)) {
        sink.take(quad_finding(tally.line_number, judgement.fate, judgement.measure.max, piece));
      }
    }
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

bool is_zeros(CheckId check) {
  return check == CheckId::kTrailingZeros || check == CheckId::kLeadingZeros;
}

bool is_quad_mend(MendKind kind) {
  return kind == MendKind::kWarpSplit || kind == MendKind::kConcaveSplit ||
         kind == MendKind::kIdenticalTriangle || kind == MendKind::kCollinearTriangle;
}

// The words of a quad line as its mend writes them.
QuadText quad_text_of(std::string_view line) {
  const LineWords words = split_words(line, kQuadWords);
  QuadText text;
  text.colour = words.words[1];
  for (int i = 0; i < 12; ++i) text.coordinates[i] = words.words[2 + i];
  return text;
}

// Appends the mend of a quad line `line` (its words as written) of this
// fate, if it has one, and says what it does; nothing when it is the
// author's.
MendKind append_quad_mend(std::string& out, std::string_view line, QuadFate fate,
                          const QuadLine& quad, const WarpMeasure& measure, bool conditional,
                          std::string_view line_end) {
  if (is_split(fate)) {
    // Cut along the diagonal with the smaller fold.
    append_warp_mend(out, quad_text_of(line), measure.fold_24 > measure.fold_13, conditional,
                     line_end);
    return MendKind::kWarpSplit;
  }
  const ShapeMend mend = shape_mend(quad, shape_fault_of(fate));
  if (mend.kind == ShapeMend::Kind::kNone) return MendKind::kNone;
  append_shape_mend(out, quad_text_of(line), mend, line_end);
  switch (fate) {
    case QuadFate::kIdenticalCorners:
      return MendKind::kIdenticalTriangle;
    case QuadFate::kCollinearCorners:
      return MendKind::kCollinearTriangle;
    default:
      return MendKind::kConcaveSplit;
  }
}

// A line's checks beyond its quad's: the geometry checked (the line, or a
// texture map's), its type, and what was found.
struct LineFindings {
  LineVerdict verdict;
  int line_type = 0;
  std::string_view geometry;
};

// The scan's loop; `kMends` settles at compile time whether mends are
// worked out, so that checking alone pays nothing for them.
template <bool kMends>
void analyse(LineReader& input, const CheckRules& rules, const MendRules& mends, RunTally& tally,
             FindingSink& sink, LineEdits* edits, FileHook* file) {
  // Settled once: read through the references line after line, they could
  // not be kept in registers past the tally's writes.
  const bool line_checks = rules.lines.groups.beyond_quads();
  const bool quad_checks = rules.lines.groups.quads;
  bool at_line_start = true;
  QuadLine quad;
  std::string_view piece;
  std::string_view last_line_end = "\n";
  std::string without_zeros;
  std::string replacement;
  std::string reversed;
  const FileLineVerdict no_file_verdict{};
  while (input.next(piece)) {
    const bool starts_line = at_line_start;
    at_line_start = piece.back() == '\n';
    if constexpr (kMends) {
      if (at_line_start) last_line_end = line_end_of(piece);
    }
    // The rest of a physical line longer than a piece is neither a line of
    // its own nor a quad, however it begins.
    if (!starts_line) {
      if (file != nullptr) {
        const FileLineVerdict& late = file->rest(piece);
        tally.line_faults += late.faults;
        for (int i = 0; i < late.faults; ++i) {
          Finding finding;
          finding.line_number = tally.line_number;
          finding.check = late.found[i].check;
          finding.line_type = 0;
          finding.text = late.found[i].text();
          sink.take(finding);
        }
      }
      if (edits != nullptr) edits->keep(piece);
      continue;
    }
    ++tally.line_number;
    const std::int32_t type = probe_line_type(piece);
    // A line longer than a piece is checked by its quad checks alone, and
    // never mended.
    const bool whole_line = at_line_start || piece.size() < kPieceCharacters;
    LineFindings line;
    QuadWords quad_words;
    if (line_checks && whole_line) {
      line.geometry = piece;
      line.line_type = type;
      if (type == 0) {
        // A texture map's geometry is checked as the line it is, but a
        // quad's shape and warp are not.
        line.geometry = texture_map_geometry(piece);
        line.line_type = line.geometry.empty() ? 0 : probe_line_type(line.geometry);
      }
      if (line.line_type >= 1 && line.line_type <= 5) {
        line.verdict = check_line(line.geometry, line.line_type, rules.lines,
                                  line.geometry.data() == piece.data() ? &quad_words : nullptr);
        tally.line_faults += line.verdict.faults;
      }
    }
    const LineVerdict& verdict = line.verdict;
    const FileLineVerdict& file_verdict =
        file != nullptr ? file->line(tally.line_number, piece, whole_line) : no_file_verdict;
    tally.line_faults += file_verdict.faults;
    QuadJudgement judgement;
    bool judged = false;
    if (verdict.settled) {
      // A quad in the edge colour is settled by its colour.
      ++tally.quad_count;
    } else if (type == kQuadLineType && quad_checks) {
      judgement = judge_quad(piece, rules, quad, verdict.quad_located ? &quad_words : nullptr);
      count_quad(judgement.fate, tally);
      judged = is_fault(judgement.fate) || is_split(judgement.fate);
    }

    LineMend mend;
    if constexpr (kMends) {
      if (mends.mends && whole_line) {
        replacement.clear();
        std::string_view mended_text = piece;
        if (verdict.draws_nothing && line.geometry.data() == piece.data()) {
          // A line or triangle that draws nothing goes, whatever else is
          // wrong with it.
          mend.kind = MendKind::kRemoved;
        } else {
          if (verdict.needless_zeros) {
            without_zeros.clear();
            mend.zero_numbers = append_without_needless_zeros(without_zeros, piece, line.geometry,
                                                              line.line_type, mend.first_zeros);
            mended_text = without_zeros;
          }
          if (judged && is_at_level(judgement.fate, mends.level)) {
            const std::string_view own_end = line_end_of(piece);
            mend.kind =
                append_quad_mend(replacement, mended_text, judgement.fate, quad, judgement.measure,
                                 mends.conditional, own_end.empty() ? last_line_end : own_end);
            // A last line without an end stays without one.
            if (mend.kind != MendKind::kNone && own_end.empty()) {
              replacement.resize(replacement.size() - last_line_end.size());
            }
            mend.zeros_too = mend.kind != MendKind::kNone && verdict.needless_zeros;
          }
          if (mend.kind == MendKind::kNone && verdict.needless_zeros) {
            mend.kind = MendKind::kZeros;
            replacement = without_zeros;
          }
          // The checks of the file mend only lines no other check mends.
          if (mend.kind == MendKind::kNone && file_verdict.mend != MendKind::kNone) {
            mend.kind = file_verdict.mend;
            replacement = file_verdict.replacement;
          }
        }
      }
      // A file certified CW made CCW: every triangle and quad reversed,
      // mended or not.
      if (file != nullptr && file->reversing()) {
        const bool own = mend.kind != MendKind::kNone;
        reversed.clear();
        if (file->reverse(own ? std::string_view(replacement) : piece, whole_line,
                          own && mend.kind != MendKind::kCertifiedCcw, reversed)) {
          replacement.swap(reversed);
          if (!own) mend.kind = MendKind::kReversed;
        }
      }
      if (mend.kind != MendKind::kNone) mend.replacement = replacement;
    }

    // The findings, each told its part in the line's mend: the one whose
    // check the mend answers carries it, the others it settles are
    // resolved by it.
    const bool quad_mended = kMends && judged && is_quad_mend(mend.kind);
    int carrier = -1;
    for (int i = 0; i < verdict.faults && !quad_mended && carrier < 0; ++i) {
      const CheckId check = verdict.found[i].check;
      if ((mend.kind == MendKind::kRemoved && check == CheckId::kIdentical) ||
          (mend.kind == MendKind::kZeros && is_zeros(check))) {
        carrier = i;
      }
    }
    const auto tell = [&](Finding& finding, bool settled, bool carries) {
      if constexpr (kMends) {
        if (carries) {
          finding.role = MendRole::kCarrier;
          finding.mend = mend;
        } else if (settled) {
          finding.role = MendRole::kResolved;
        }
        if (settled) {
          ++(finding.severity == Severity::kWarning ? tally.resolved_warnings
                                                    : tally.resolved_errors);
        }
      }
      sink.take(finding);
    };
    for (int i = 0; i < verdict.faults; ++i) {
      const LineFault& fault = verdict.found[i];
      Finding finding;
      finding.line_number = tally.line_number;
      finding.check = fault.check;
      finding.line_type = line.line_type;
      finding.text = fault.text();
      finding.line = line.geometry;
      const bool settled =
          mend.kind == MendKind::kRemoved ||
          (is_zeros(fault.check) && (mend.kind == MendKind::kZeros || mend.zeros_too));
      tell(finding, settled, i == carrier);
    }
    if (judged) {
      Finding finding =
          quad_finding(tally.line_number, judgement.fate, judgement.measure.max, piece);
      tell(finding, quad_mended, quad_mended);
    }
    for (int i = 0; i < file_verdict.faults; ++i) {
      Finding finding;
      finding.line_number = tally.line_number;
      finding.check = file_verdict.found[i].check;
      finding.line_type = type;
      finding.text = file_verdict.found[i].text();
      finding.line = piece;
      const bool carries = kMends && i == file_verdict.carrier && mend.kind == file_verdict.mend;
      tell(finding, carries, carries);
    }
    if constexpr (kMends) {
      // A line mended as part of the file's whole mend counts with the
      // finding that carries it, at the end.
      const bool own = mend.kind != MendKind::kNone && mend.kind != MendKind::kReversed &&
                       mend.kind != MendKind::kCertifiedCcw && mend.kind != MendKind::kTilde;
      if (own) ++tally.mended_lines;
    }
    if (edits != nullptr) {
      if (mend.kind != MendKind::kNone) {
        edits->replace(piece, mend.replacement, mend.kind);
      } else {
        edits->keep(piece);
      }
    }
  }
  if (file != nullptr) file->finish(tally, sink);
}

}  // namespace

void analyse_lines(LineReader& input, const CheckRules& rules, const MendRules& mends,
                   RunTally& tally, FindingSink& sink, LineEdits* edits, FileHook* file) {
  if (mends.mends) {
    analyse<true>(input, rules, mends, tally, sink, edits, file);
  } else {
    analyse<false>(input, rules, mends, tally, sink, edits, file);
  }
}

}  // namespace skewquad
