// The groups of checks by name, as every interface takes them.
#pragma once

#include <string_view>

#include "check/line_checks.h"

namespace skewquad {

/// The groups named in `list`: quads, lines, numbers, colours, file or all,
/// joined by commas. False, `groups` unchanged, for any other name.
bool check_groups_named(std::string_view list, CheckGroups& groups);

}  // namespace skewquad
