// Numbers written as printf's general conversion writes them.
#pragma once

#include <string>

namespace skewquad {

/// Appends `value` as printf's "%.<precision>g" would write it: that many
/// significant digits, trailing zeros and point removed, exponent form (two
/// digits at least) when the exponent is below -4 or not below the precision.
void append_general(std::string& text, double value, int precision);

}  // namespace skewquad
