// A triangle or quad written with its corners in the reverse order: the
// same face with the other winding, as a file certified CW is made CCW.
#pragma once

#include <string>
#include <string_view>

namespace skewquad {

/// Appends the line `line`, a triangle or quad (or a texture map's `0 !:`
/// one) of exactly its type's count of words, with its corners in the
/// reverse order: every word and every run of white space as written, only
/// the corners' words changing places. False, with nothing appended, for
/// any other line, which a reversal leaves as it is.
bool append_reversed_winding(std::string& out, std::string_view line);

}  // namespace skewquad
