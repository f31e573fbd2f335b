// UTF-8, as the tool holds names, to and from Windows' UTF-16.
#pragma once

#include <string>

namespace skewquad::platform {

/// `text` (UTF-8) as UTF-16.
std::wstring wide(const std::string& text);

/// `text` (UTF-16) as UTF-8.
std::string narrow(const std::wstring& text);

}  // namespace skewquad::platform
