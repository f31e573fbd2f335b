// Groups of checks by name.
#include "ldraw/check_groups.h"

namespace skewquad {

bool check_groups_named(std::string_view list, CheckGroups& groups) {
  CheckGroups named{false, false, false, false, false};
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    if (name == "quads") {
      named.quads = true;
    } else if (name == "lines") {
      named.lines = true;
    } else if (name == "numbers") {
      named.numbers = true;
    } else if (name == "colours") {
      named.colours = true;
    } else if (name == "file") {
      named.file = true;
    } else if (name == "all") {
      named = {true, true, true, true, true};
    } else {
      return false;
    }
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  groups = named;
  return true;
}

}  // namespace skewquad
