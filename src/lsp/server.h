// The language server: the lifecycle, the documents open in the editor, their
// diagnostics and quick fixes, and the settings.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "ldraw/analysis.h"
#include "lsp/document_check.h"
#include "lsp/document_text.h"

namespace skewquad::lsp {

/// The JSON-RPC error codes the server answers with.
namespace error_code {
inline constexpr int kParseError = -32700;
inline constexpr int kInvalidRequest = -32600;
inline constexpr int kMethodNotFound = -32601;
inline constexpr int kInvalidParams = -32602;
inline constexpr int kServerNotInitialized = -32002;
}  // namespace error_code

/// The most bytes of a document that are checked.
inline constexpr std::size_t kMostDocumentBytes = std::size_t{100} * 1000 * 1000;

/// The server's state between messages; messages go out through `send`,
/// each the text of one JSON message.
class Server {
 public:
  using Send = std::function<void(const std::string&)>;
  explicit Server(Send send) : send_(std::move(send)) {}

  /// Handles one message's body.
  void handle(std::string body);

  /// Checks every document changed since it was last checked and publishes
  /// its diagnostics: called when no message waits, so that of a burst of
  /// changes only the last text is checked.
  void check_changed();

  /// Tells the editor something went wrong that has no request to answer.
  void show_message(const std::string& message, int type = 1);

  bool exited() const { return exited_; }
  /// The status to end with: 0 after a shutdown, 1 without.
  int exit_status() const { return shut_down_ ? 0 : 1; }

 private:
  struct Document {
    std::string text;         // empty when too large
    bool changed = true;      // not checked since it changed
    bool too_large = false;   // larger than is checked: its text is not held
    bool told_large = false;  // the editor was told so
  };

  // A library found above documents, with what its LDConfig.ldr was when
  // read, so that a change to it is seen.
  struct KnownLibrary {
    std::unique_ptr<Library> library;
    std::string ldconfig_stamp;
    std::string told_problem;  // a malformed LDConfig.ldr, told once
  };

  void request(const Json& id, const std::string& method, const Json& params);
  void notification(const std::string& method, const Json& params);
  void reply(const Json& id, Json result);
  void fail(const Json& id, int code, const char* message);
  Json initialize(const Json& params);
  Json code_actions(const Json& params);
  Json resolve_code_action(const Json& action);
  void apply_settings(const Json& given);
  Document document_of(const Json& holder);
  Analysis analysis_for(const std::string& uri);
  void publish(const std::string& uri, const std::string& diagnostics);
  static Json edits_of(const QuickFix& fix);

  Send send_;
  bool initialized_ = false;
  bool shut_down_ = false;
  bool exited_ = false;
  bool resolves_edits_ = false;  // the editor resolves a code action's edit when it is chosen
  AngleLimits limits_;
  CheckGroups groups_;
  std::map<std::string, Document> documents_;
  std::optional<TakenText> taken_text_;  // the message's document text, taken out before parsing
  std::map<std::string, KnownLibrary> libraries_;  // by root
};

/// True for the documents the server checks: .dat, .ldr and .mpd files (any
/// case), or any document of the language "ldraw".
bool is_ldraw_document(const std::string& uri, const std::string& language);

}  // namespace skewquad::lsp
