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
      const std::optional<std::string> taken = take_text(body);
      ASSERT_TRUE(taken.has_value());
      EXPECT_EQ(*taken, text);
      const nlohmann::json rest = nlohmann::json::parse(body);
      EXPECT_EQ(rest["params"]["contentChanges"][0]["text"], "first");
      EXPECT_EQ(rest["params"]["contentChanges"][1]["text"], "");
    }
  }
  std::string broken = R"({"text":"unended)";
  EXPECT_FALSE(take_text(broken).has_value());
  EXPECT_EQ(broken, R"({"text":"unended)");
  std::string none = R"({"textDocument":{"uri":"a"}})";
  EXPECT_FALSE(take_text(none).has_value());
}

}  // namespace
}  // namespace skewquad::lsp
