// A document's text taken out of a message reads as the general parser
// reads it, and leaves a message that parses to the rest.
#include "lsp/document_text.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace skewquad::lsp {
namespace {

TEST(TakeText, DecodesAsTheGeneralParserAndLeavesTheRest) {
  for (const std::string& text :
       {std::string("4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n0 \"quoted\" \\ /\tend"), std::string(""),
        std::string("\x01\x1F caf\xC3\xA9 \xF0\x9F\xA7\xB1 \xE2\x80\xA8"),
        std::string(100000, 'x') + "\n"}) {
    const nlohmann::json message = {
        {"method", "textDocument/didChange"},
        {"params",
         {{"textDocument", {{"uri", "file:///a.dat"}}},
          {"contentChanges", {{{"text", "first"}}, {{"text", text}}}}}}};
    for (const bool ascii : {false, true}) {
      std::string body = message.dump(-1, ' ', ascii);
      const std::optional<TakenText> taken = take_text(body, 200000);
      ASSERT_TRUE(taken.has_value());
      EXPECT_EQ(taken->text, text);
      EXPECT_FALSE(taken->too_large);
      const nlohmann::json rest = nlohmann::json::parse(body);
      EXPECT_EQ(rest["params"]["contentChanges"][0]["text"], "first");
      EXPECT_EQ(rest["params"]["contentChanges"][1]["text"], "");
    }
  }
  std::string broken = R"({"text":"unended)";
  EXPECT_FALSE(take_text(broken, 100).has_value());
  EXPECT_EQ(broken, R"({"text":"unended)");
  std::string none = R"({"textDocument":{"uri":"a"}})";
  EXPECT_FALSE(take_text(none, 100).has_value());
}

TEST(TakeText, DoesNotDecodeATextLongerDecodedThanItMayBe) {
  // Nine bytes decoded: just too long for eight, and not held at all; as
  // long as may be, held.
  std::string body = R"({"text":"a\nb\u00e9cdef"})";
  const std::optional<TakenText> too_large = take_text(body, 8);
  ASSERT_TRUE(too_large.has_value());
  EXPECT_TRUE(too_large->too_large);
  EXPECT_EQ(too_large->text, "");
  EXPECT_EQ(body, R"({"text":""})");
  body = R"({"text":"a\nb\u00e9cdef"})";
  EXPECT_EQ(take_text(body, 9)->text,
            "a\nb\xC3\xA9"
            "cdef");
}

TEST(ReplaceLoneSurrogates, LetsAMessageWithOneBeParsed) {
  // A lone high or low surrogate becomes U+FFFD; a pair, and a backslash
  // escaped before a u, stay as they are.
  std::string body = R"({"uri":"file:///a\ud800.dat","b":"\udc00\ud83e\uddf1\\ud800"})";
  replace_lone_surrogates(body);
  EXPECT_EQ(body, R"({"uri":"file:///a\ufffd.dat","b":"\ufffd\ud83e\uddf1\\ud800"})");
  const nlohmann::json parsed = nlohmann::json::parse(body);
  EXPECT_EQ(parsed["uri"], "file:///a\xEF\xBF\xBD.dat");
}

}  // namespace
}  // namespace skewquad::lsp
