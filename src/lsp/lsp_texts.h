// Every text the language server says of its own, in one list.
#pragma once

namespace skewquad::lsp::text {

inline constexpr char kServerName[] = "skewquad";
inline constexpr char kServerVersion[] = "1.4";
inline constexpr char kParseError[] = "the message is not JSON";
inline constexpr char kNotAMessage[] = "the message is JSON but not an object";
inline constexpr char kInitializedTwice[] = "the server is already initialized";
inline constexpr char kNotInitialized[] = "the server has not been initialized";
inline constexpr char kAfterShutdown[] = "the server is shutting down";
inline constexpr char kMethodNotFound[] = "unknown method";
inline constexpr char kInvalidParams[] = "the parameters are not as the method takes them";
inline constexpr char kMalformedFrame[] =
    "skewquad: a message without a readable Content-Length was skipped";
inline constexpr char kTooLargeFrame[] = "skewquad: a message larger than 256 MiB was skipped";
inline constexpr char kTooLargeDocument[] = "skewquad: %s is larger than 100 MB and is not checked";
inline constexpr char kBadSetting[] = "skewquad: %s; the setting keeps its value";
inline constexpr char kBadAngle[] =
    "%s must be a number of degrees greater than 0 and less than 90";
inline constexpr char kUnknownSetting[] =
    "skewquad: there is no setting %s (the settings are warningAngle, errorAngle and checks)";
inline constexpr char kBadLdconfigPrefix[] =
    "skewquad: the colours are not checked, as the library's colours cannot be read: ";
inline constexpr char kFixAllTitle[] = "skewquad: fix all";
inline constexpr char kBadChecks[] =
    "checks takes quads, lines, numbers, colours, file or all, joined by commas";

}  // namespace skewquad::lsp::text
