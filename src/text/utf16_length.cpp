// Counting UTF-16 code units.
#include "text/utf16_length.h"

namespace skewquad {

std::size_t utf16_length(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t size = lead < 0x80    ? 1
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC0 ? 2
                                            : 1;
    bool whole = i + size <= text.size();
    for (std::size_t k = 1; whole && k < size; ++k) {
      whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    }
    if (!whole) {
      units += 1;
      i += 1;
      continue;
    }
    units += size == 4 ? 2 : 1;
    i += size;
  }
  return units;
}

}  // namespace skewquad
