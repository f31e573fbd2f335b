// The exit statuses of both interfaces, each defined once with its meaning.
#pragma once

namespace skewquad::exit_status {

/// Classic: the file was checked to the end, whatever was found in it.
/// The scan: nothing at or above the fail-on level.
inline constexpr int kSuccess = 0;
/// A mistake on the command line: an unknown option, a value missing or
/// malformed, no file name.
inline constexpr int kUsage = 1;
/// A file could not be opened, created, read or written (in the library
/// mode: a path named could not be read, or a fixed file not written; in
/// the classic mode also the console could not be written).
inline constexpr int kFile = 2;
/// A warning or error angle out of range.
inline constexpr int kRange = 3;
/// The scan: a finding at or above the fail-on level.
inline constexpr int kFindings = 4;
/// The scan: the report could not be written (standard output failed).
inline constexpr int kReportUnwritten = 5;
/// The scan: memory ran out; what was reported before stands.
inline constexpr int kOutOfMemory = 6;

}  // namespace skewquad::exit_status
