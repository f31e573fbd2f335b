// Every text the scan writes, in one list: one line per finding, as
// compilers write them, then a summary; its own errors go to standard
// error. The degree sign is UTF-8.
#pragma once

namespace skewquad::text {

// A finding: path, line, "error", "warning" or "fixed", and what the
// finding says.
inline constexpr char kScanFinding[] = "%s:%lld: %s: %s\n";
// A finding of the file as a whole, on no line.
inline constexpr char kScanFileFinding[] = "%s: %s: %s\n";
inline constexpr char kScanUnwritableFile[] = "%s: error: can't write file: %s\n";
inline constexpr char kScanUnreadableFile[] = "%s: error: can't read file: %s\n";
inline constexpr char kScanUnreadableFolder[] = "%s: error: can't read folder: %s\n";
inline constexpr char kScanSkipped[] = "%s: warning: skipped: %s\n";
inline constexpr char kScanNotDiffed[] = "%s: error: can't diff: %s\n";
// A second name of a file already checked: its path, then the first name.
inline constexpr char kScanSameFile[] = "%s: warning: skipped: the same file as %s\n";
inline constexpr char kSameFileAs[] = "the same file as ";
// Why a file was not mended or diffed.
inline constexpr char kScanChangedWhileChecked[] = "changed while it was checked";
inline constexpr char kScanOutsideFolder[] =
    "the path leads outside the current folder, where a patch cannot name it; run --diff from a "
    "folder above it";
inline constexpr char kScanLinkNotDiffed[] =
    "a symbolic link, which patch and git apply do not write through; name the file it leads to";
// The summary: the files, then the folders that could not be listed and
// the links skipped where there are any, then the quads.
inline constexpr char kScanSummaryFiles[] = "Checked %lld file(s) (%lld unreadable)";
inline constexpr char kScanSummaryFolders[] = ", %lld folder(s) unreadable";
inline constexpr char kScanSummarySkipped[] = ", %lld link(s) skipped";
inline constexpr char kScanSummarySameFiles[] = ", %lld second name(s) of a file skipped";
inline constexpr char kScanSummaryUnwritten[] = ", %lld not written";
inline constexpr char kScanSummaryNotDiffed[] = ", %lld not diffed";
inline constexpr char kScanSummaryQuads[] =
    ", %lld quad(s): %lld error(s) in %lld file(s), %lld warning(s) in %lld file(s), %lld in "
    "the low band";
// When mending: the lines mended; errors and warnings are those left.
inline constexpr char kScanSummaryFixed[] = "; %lld fixed in %lld file(s)";
inline constexpr char kScanProgress[] = "\rChecked %lld of %lld file(s) found";
inline constexpr char kScanEraseProgress[] = "\r\x1B[K";
inline constexpr char kScanNotAnAngle[] =
    "skewquad --scan: %s needs an angle in degrees, not '%s'\n";
inline constexpr char kScanWarningOutOfRange[] =
    "skewquad --scan: the warning angle must be greater than 0\xC2\xB0 and less than 90\xC2\xB0, "
    "not %.7lg\n";
inline constexpr char kScanErrorOutOfRange[] =
    "skewquad --scan: the error angle must be greater than 0\xC2\xB0 and less than 90\xC2\xB0, "
    "not %.7lg\n";
inline constexpr char kScanWarningAboveError[] = "Specified warning value > error value\n";
inline constexpr char kScanUsingWarning[] = "Using warning angle = %.7lg\n\n";
inline constexpr char kScanNeedsValue[] = "skewquad --scan: %s needs a value\n";
inline constexpr char kScanNotChecks[] =
    "skewquad --scan: --checks takes quads, lines, numbers, colours, file or all, joined by "
    "commas, not '%s'\n";
inline constexpr char kScanBadLdconfig[] = "skewquad --scan: %s\n";
inline constexpr char kScanNoLdconfig[] =
    "skewquad --scan: no LDConfig.ldr above %s: unknown colours are not looked for there\n";
inline constexpr char kScanJsonAndFormat[] =
    "skewquad --scan: --json and --format=%s cannot be given together\n";
inline constexpr char kScanFixAndDiff[] =
    "skewquad --scan: --fix and --diff cannot be given together\n";
inline constexpr char kScanFixAndFormat[] =
    "skewquad --scan: --fix reports as text, json or github, not %s (a SARIF log of the scan "
    "without --fix holds every mend as a fix)\n";
inline constexpr char kScanDiffAndFormat[] =
    "skewquad --scan: --diff writes the patch on standard output and its report as text on "
    "standard error, not as %s\n";
inline constexpr char kScanNotJobs[] =
    "skewquad --scan: --jobs needs a whole number from 1 to 1024, not '%s'\n";
inline constexpr char kScanUnwritten[] = "skewquad --scan: can't write the report: %s\n";
inline constexpr char kScanOutOfMemory[] = "skewquad --scan: out of memory\n";
inline constexpr char kScanVersion[] = "skewquad 1.4";
inline constexpr char kScanVersionNumber[] = "1.4";
// Where the tool is described, for the reports that name it.
inline constexpr char kInformationUri[] = "https://github.com/skewquad/skewquad";
inline constexpr char kScanDescription[] =
    "Checks LDraw files and whole folders of them (*.dat, *.ldr, *.mpd) for the quad faults "
    "parts certification refuses: invalid quad lines, identical or collinear corners, "
    "concave or bow-tie quads, and quads warped above the error angle (and, listed with "
    "--warnings, above the warning angle).";

}  // namespace skewquad::text
