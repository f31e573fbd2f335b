// The text of a document taken out of a message before the message is
// parsed: a general JSON parser reads a 10 MB string a byte at a time and
// costs ten times the check itself.
#pragma once

#include <optional>
#include <string>

namespace skewquad::lsp {

/// A document's text taken out of a message.
struct TakenText {
  std::string text;        // decoded; empty when too large
  bool too_large = false;  // longer, decoded, than it may be: not decoded at all
};

/// The value of the last "text" member of the JSON text `body`, decoded if
/// it is at most `most_bytes` long, with that value replaced by "" in
/// `body`; nothing (and `body` as it was) when there is none or it is not
/// a well-formed string. A quote followed by text and a quote and a colon
/// stands only as a member's name in JSON: inside a string each quote is
/// escaped.
std::optional<TakenText> take_text(std::string& body, std::size_t most_bytes);

/// Rewrites, in place, each escaped lone surrogate of the JSON text `body`
/// ("\ud800" not followed by a low one) as U+FFFD, as a document's text
/// is read: the general parser refuses the whole message otherwise.
void replace_lone_surrogates(std::string& body);

}  // namespace skewquad::lsp
