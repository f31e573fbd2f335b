// Every text that says what a finding is, in one list: the messages each
// report format and the editor show, and the rules that describe the checks.
// The degree sign is UTF-8.
#pragma once

namespace skewquad::text {

// Angles are written as "%.4lg" writes them, and limits as "%.7lg".
inline constexpr char kWarpAboveError[] = "quad warped by %s\xC2\xB0 (error angle %s\xC2\xB0)";
inline constexpr char kWarpAboveWarning[] = "quad warped by %s\xC2\xB0 (warning angle %s\xC2\xB0)";
inline constexpr char kInvalidQuadLine[] = "invalid quad line";
inline constexpr char kIdenticalQuad[] = "quad has identical corners";
inline constexpr char kCollinearQuad[] = "quad has collinear corners";
inline constexpr char kNotConvexQuad[] = "quad is not convex (concave or bow-tie)";

inline constexpr char kInvalidLine[] = "invalid line of type %d";
inline constexpr char kUnknownColour[] = "unknown colour %.*s";
inline constexpr char kColour24[] = "%s in colour 24";
inline constexpr char kNotEdgeColour[] = "%s not in the edge colour 24 (colour %.*s)";
inline constexpr char kIdenticalPoints[] = "%s has identical points";
inline constexpr char kIdenticalTriangle[] = "triangle has identical corners";
inline constexpr char kCollinearTriangle[] = "triangle has collinear corners";
inline constexpr char kSingular[] = "sub-file reference has a singular matrix";
inline constexpr char kDecimals[] = "number %.*s has 6 or more decimals";
inline constexpr char kTrailingZeros[] = "number %.*s has trailing zeros";
inline constexpr char kLeadingZeros[] = "number %.*s has a leading zero";
// What each line type draws, as the messages name it.
inline constexpr const char* kLineTypeNames[] = {"",     "sub-file reference", "line", "triangle",
                                                 "quad", "conditional line"};

// A finding mended (by --fix, or that --diff or a quick fix would mend).
inline constexpr char kFixedWarp[] = "quad split into two triangles (warped by %s\xC2\xB0)";
inline constexpr char kFixedConcave[] = "concave quad split into two triangles";
inline constexpr char kFixedIdentical[] = "quad with identical corners replaced by a triangle";
inline constexpr char kFixedCollinear[] = "quad with collinear corners replaced by a triangle";
inline constexpr char kFixedZeros[] = "%s written without needless zeros";
inline constexpr char kFixedZerosToo[] = "; %s written without needless zeros";
// Which numbers lost their needless zeros.
inline constexpr char kOneNumber[] = "number %.*s";
inline constexpr char kSeveralNumbers[] = "%d numbers, %.*s the first,";
inline constexpr char kFixedRemoved[] = "%s that draws nothing removed";

}  // namespace skewquad::text
