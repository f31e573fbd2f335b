// Every text the classic command line prints on the console, in one list.
#pragma once

// Counts and line numbers are 64-bit (long long); angles are doubles. The degree sign is the
// single Latin-1 byte 0xB0.

namespace skewquad::text {

inline constexpr char kBanner[] = "\nSkewquad v1.4 - by Tarrow";
inline constexpr char kSeparator[] = "\n------------------------------------------\n\n";

inline constexpr char kUsage[] =
    "Usage: Skewquad [-w <angle>] [-t <angle>] [-c] [-o] LdrawFile [LdrawFileOut]\n"
    "Options\n"
    "  -w <angle>: Define warning angle threshold\n"
    "  -t <angle>: Define error angle threshold\n"
    "  -c        : Automatically split warped quads into triangles\n"
    "  -o        : Do not create conditional lines when splitting quads\n"
    "Press <Enter> to quit";

inline constexpr char kWarningOutOfRange[] =
    "Coplanarity warning angle (-w %.7lg) must be in [0\xB0..90\xB0]\n";
inline constexpr char kErrorOutOfRange[] =
    "Coplanarity error threshold (-t %.7lg) must be in [0\xB0..90\xB0]\n";

inline constexpr char kNonStandardBlock[] =
    "\n*********************** Warning *************************** \n"
    "   Coplanarity angle thresholds use non-standard values\n"
    "Results can't be used for LDraw Parts Tracker certification\n"
    "*********************** Warning *************************** \n\n";

inline constexpr char kWarningAboveError[] = "Specified warning value > error value\n";
inline constexpr char kUsingWarning[] = "Using warning angle = %.7lg\n\n";
inline constexpr char kEchoWarning[] = "Coplanarity warning angle = %.7lg\n";
inline constexpr char kEchoError[] = "Coplanarity threshold angle = %.7lg\n";

inline constexpr char kQuitPrompt[] = "Press <Enter> to quit";

inline constexpr char kCantOpen[] = "Can't open file\n%s\n";
inline constexpr char kCantCreate[] = "Can't create file\n%s\n";
inline constexpr char kCantRead[] = "\n\nCan't read file\n%s\n";
inline constexpr char kCantWrite[] = "\n\nCan't write file\n%s\n";

inline constexpr char kProcessing[] = "\nProcessing...\n";
inline constexpr char kQuadAboveError[] = "\nLine %lld: Angle = %.4lg";
inline constexpr char kInvalidQuad[] = "\nLine %lld: Invalid quad line";

inline constexpr char kSummaryHeading[] = "\n\n\n----------File Summary-------------";
inline constexpr char kLowBand[] = "\n\n%lld quad(s) between %.4lg and %.4lg degrees";
inline constexpr char kWarningBand[] = "\n\nWarning: %lld quad(s) between %.4lg and %.4lg degrees";
inline constexpr char kNoWarning[] = "\n\nNo quad between %.4lg and %.4lg degrees";
inline constexpr char kErrorBand[] = "\n\nERROR: %lld quad(s) above %.4lg degrees";
inline constexpr char kNoError[] = "\n\nNo quad above %.4lg degrees";
inline constexpr char kSummaryRule[] = "\n\n-----------------------------------\n";
inline constexpr char kWarpedCount[] = "\n%lld warped quad(s) detected";
inline constexpr char kAllPlanar[] = "\nAll quads are planar enough!";
inline constexpr char kFinalQuitPrompt[] = "\n\nPress <Enter> to quit";

}  // namespace skewquad::text
