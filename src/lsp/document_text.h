// The text of a document taken out of a message before the message is
// parsed: a general JSON parser reads a 10 MB string a byte at a time and
// costs ten times the check itself.
#pragma once

#include <optional>
#include <string>

namespace skewquad::lsp {

/// The value of the last "text" member of the JSON text `body`, decoded,
/// with that value replaced by "" in `body`; nothing (and `body` as it
/// was) when there is none or it is not a well-formed string. A quote
/// followed by text and a quote and a colon stands only as a member's name
/// in JSON: inside a string each quote is escaped.
std::optional<std::string> take_text(std::string& body);

}  // namespace skewquad::lsp
