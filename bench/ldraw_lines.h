// The line mix of the real parts library, for generated benchmark files.
#pragma once

#include <random>
#include <string>

/// Appends one LDraw line, without its line end, drawn from the parts
/// library's mix of line types, colours, coordinates and warps.
void append_line(std::string& line, std::mt19937_64& random);
