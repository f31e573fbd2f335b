// The colours a library defines, read from its LDConfig.ldr.
#pragma once

#include <optional>
#include <string>

#include "check/line_checks.h"

namespace skewquad {

/// The name of the file that defines a library's colours, in its root.
inline constexpr char kLdconfigName[] = "LDConfig.ldr";

/// Reads the codes of the `0 !COLOUR` lines of the file `path` into
/// `colours`. False, with `problem` saying where and why ("LDConfig.ldr:12:
/// a !COLOUR line without a CODE number"), when it cannot be read or a
/// colour line is malformed.
bool read_ldconfig(const std::string& path, ColourTable& colours, std::string& problem);

/// The LDConfig.ldr of the library that holds `path`: found in the folder
/// of `path` (or `path` itself, for a folder) or the nearest above it.
std::optional<std::string> find_ldconfig(const std::string& path);

}  // namespace skewquad
