// The language server's handling of each message.
#include "lsp/server.h"

#include <algorithm>
#include <cstdio>

#include "check/limits.h"
#include "ldraw/check_groups.h"
#include "lsp/document_text.h"
#include "lsp/lsp_texts.h"

namespace skewquad::lsp {
namespace {

// The protocol's message types for window/showMessage.
constexpr int kMessageError = 1;
constexpr int kMessageWarning = 2;

// Full document sync: every change holds the whole text.
constexpr int kFullSync = 1;

// The path of a file:// URI, its escapes decoded; empty for any other URI.
std::string path_of_uri(const std::string& uri) {
  constexpr std::string_view kFile = "file://";
  if (!uri.starts_with(kFile)) return {};
  std::string path;
  for (std::size_t i = kFile.size(); i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size()) {
      path += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  // file:///C:/parts on Windows names C:/parts.
  if (path.size() > 2 && path[0] == '/' && path[2] == ':') path.erase(0, 1);
  return path;
}

const Json* member(const Json& object, const char* name) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

std::string string_member(const Json& object, const char* name) {
  const Json* value = member(object, name);
  return value != nullptr && value->is_string() ? value->get<std::string>() : std::string();
}

}  // namespace

bool is_ldraw_document(const std::string& uri, const std::string& language) {
  return language == "ldraw" || is_ldraw_file_name(uri);
}

void Server::handle(std::string body) {
  // A document's text, the bulk of the messages that carry one, is read by
  // a loop of its own; the rest of the message by the general parser.
  taken_text_ = take_text(body);
  Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded() || !message.is_object()) {
    return fail(nullptr, error_code::kParseError, text::kParseError);
  }
  const Json* method = member(message, "method");
  const Json* id = member(message, "id");
  const Json* params = member(message, "params");
  const Json no_params = Json::object();
  if (method == nullptr || !method->is_string()) {
    // A response to nothing the server asked, or no message at all.
    if (id != nullptr && member(message, "result") == nullptr &&
        member(message, "error") == nullptr) {
      fail(*id, error_code::kInvalidRequest, text::kMethodNotFound);
    }
    return;
  }
  if (id != nullptr) {
    try {
      request(*id, method->get<std::string>(), params != nullptr ? *params : no_params);
    } catch (const Json::exception&) {
      fail(*id, error_code::kInvalidParams, text::kInvalidParams);
    }
  } else {
    notification(method->get<std::string>(), params != nullptr ? *params : no_params);
  }
}

void Server::reply(const Json& id, Json result) {
  Json response;
  response["jsonrpc"] = "2.0";
  response["id"] = id;
  response["result"] = std::move(result);
  send_(response);
}

void Server::fail(const Json& id, int code, const char* message) {
  Json response;
  response["jsonrpc"] = "2.0";
  response["id"] = id;
  response["error"] = {{"code", code}, {"message", message}};
  send_(response);
}

void Server::show_message(const std::string& message, int type) {
  Json notice;
  notice["jsonrpc"] = "2.0";
  notice["method"] = "window/showMessage";
  notice["params"] = {{"type", type}, {"message", message}};
  send_(notice);
}

void Server::request(const Json& id, const std::string& method, const Json& params) {
  if (method == "initialize") {
    if (initialized_) return fail(id, error_code::kInvalidRequest, text::kInvalidParams);
    initialized_ = true;
    return reply(id, initialize(params));
  }
  if (!initialized_) return fail(id, error_code::kServerNotInitialized, text::kNotInitialized);
  if (shut_down_) return fail(id, error_code::kInvalidRequest, text::kAfterShutdown);
  if (method == "shutdown") {
    shut_down_ = true;
    return reply(id, nullptr);
  }
  if (method == "textDocument/codeAction") {
    const Json* document = member(params, "textDocument");
    const Json* uri = document != nullptr ? member(*document, "uri") : nullptr;
    if (uri == nullptr || !uri->is_string()) {
      return fail(id, error_code::kInvalidParams, text::kInvalidParams);
    }
    return reply(id, code_actions(params));
  }
  fail(id, error_code::kMethodNotFound, text::kMethodNotFound);
}

Json Server::initialize(const Json& params) {
  if (const Json* options = member(params, "initializationOptions")) apply_settings(*options);
  Json capabilities;
  capabilities["textDocumentSync"] = {
      {"openClose", true}, {"change", kFullSync}, {"save", {{"includeText", false}}}};
  capabilities["codeActionProvider"] = {{"codeActionKinds", {"quickfix", "source.fixAll"}}};
  Json result;
  result["capabilities"] = capabilities;
  result["serverInfo"] = {{"name", text::kServerName}, {"version", text::kServerVersion}};
  return result;
}

void Server::notification(const std::string& method, const Json& params) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  // Before initialize, notifications are dropped, as the protocol asks.
  if (!initialized_ || shut_down_) return;
  const Json no_document = Json::object();
  const Json* document = member(params, "textDocument");
  const Json& text_document = document != nullptr ? *document : no_document;
  const std::string uri = string_member(text_document, "uri");
  if (method == "textDocument/didOpen") {
    if (uri.empty() || !is_ldraw_document(uri, string_member(text_document, "languageId"))) return;
    documents_[uri] = {text_of(text_document), true};
  } else if (method == "textDocument/didChange") {
    const auto open = documents_.find(uri);
    const Json* changes = member(params, "contentChanges");
    if (open == documents_.end() || changes == nullptr || !changes->is_array() ||
        changes->empty()) {
      return;
    }
    open->second = {text_of(changes->back()), true};
  } else if (method == "textDocument/didSave") {
    const auto open = documents_.find(uri);
    if (open != documents_.end()) open->second.changed = true;
  } else if (method == "textDocument/didClose") {
    if (documents_.erase(uri) > 0) publish(uri, Json::array());
  } else if (method == "workspace/didChangeConfiguration") {
    const Json* settings = member(params, "settings");
    if (settings == nullptr) return;
    const Json* ours = member(*settings, "skewquad");
    apply_settings(ours != nullptr ? *ours : *settings);
    for (auto& [name, open] : documents_) open.changed = true;
  }
}

std::string Server::text_of(const Json& holder) {
  // The text taken out before parsing is the last "text" of the message:
  // the one of the document opened, or of the last change.
  if (taken_text_ && member(holder, "text") != nullptr) {
    std::string text = std::move(*taken_text_);
    taken_text_.reset();
    return text;
  }
  return string_member(holder, "text");
}

void Server::apply_settings(const Json& settings) {
  if (!settings.is_object()) return;
  char message[256];
  double warning = limits_.warning;
  double error = limits_.error;
  for (const auto& [key, angle] : {std::pair{"warningAngle", &warning}, {"errorAngle", &error}}) {
    const Json* value = member(settings, key);
    if (value == nullptr) continue;
    if (!value->is_number() || !is_angle_in_range(value->get<double>())) {
      char reason[160];
      std::snprintf(reason, sizeof reason, text::kBadAngle, key);
      std::snprintf(message, sizeof message, text::kBadSetting, reason);
      show_message(message, kMessageError);
      continue;
    }
    *angle = value->get<double>();
  }
  limits_ = settle_limits(warning, error).limits;
  if (const Json* checks = member(settings, "checks")) {
    if (!checks->is_string() || !check_groups_named(checks->get<std::string>(), groups_)) {
      std::snprintf(message, sizeof message, text::kBadSetting, text::kBadChecks);
      show_message(message, kMessageError);
    }
  }
}

Analysis Server::analysis_for(const std::string& uri) {
  Analysis analysis;
  analysis.rules = scan_rules(limits_, groups_);
  const std::string path = path_of_uri(uri);
  if (path.empty() || !groups_.colours) return analysis;
  const std::string root = find_library_root(files_on_disk(), path);
  std::unique_ptr<Library>& library = libraries_[root];
  if (library == nullptr) library = std::make_unique<Library>(files_on_disk(), root);
  analysis.library = library.get();
  return analysis;
}

void Server::publish(const std::string& uri, Json diagnostics) {
  Json notice;
  notice["jsonrpc"] = "2.0";
  notice["method"] = "textDocument/publishDiagnostics";
  notice["params"] = {{"uri", uri}, {"diagnostics", std::move(diagnostics)}};
  send_(notice);
}

void Server::check_changed() {
  for (auto& [uri, document] : documents_) {
    if (!document.changed) continue;
    document.changed = false;
    if (document.text.size() > kMostDocumentBytes) {
      char message[512];
      std::snprintf(message, sizeof message, text::kTooLargeDocument, uri.c_str());
      show_message(message, kMessageWarning);
      publish(uri, Json::array());
      continue;
    }
    publish(uri, diagnostics_of(document.text, analysis_for(uri)));
  }
}

Json Server::code_actions(const Json& params) {
  const std::string uri = string_member(params.at("textDocument"), "uri");
  const auto open = documents_.find(uri);
  Json actions = Json::array();
  if (open == documents_.end() || open->second.text.size() > kMostDocumentBytes) return actions;
  long long first = 0;
  long long last = -1;
  if (const Json* range = member(params, "range")) {
    const Json* start = member(*range, "start");
    const Json* end = member(*range, "end");
    if (start != nullptr && end != nullptr) {
      first = member(*start, "line") != nullptr ? start->value("line", 0LL) : 0;
      last = member(*end, "line") != nullptr ? end->value("line", -1LL) : -1;
    }
  }
  // Only the kinds asked for, when the editor says which.
  bool want_quick_fixes = true;
  bool want_fix_all = true;
  if (const Json* context = member(params, "context")) {
    if (const Json* only = member(*context, "only"); only != nullptr && only->is_array()) {
      want_quick_fixes = want_fix_all = false;
      for (const Json& kind : *only) {
        if (!kind.is_string()) continue;
        const std::string name = kind.get<std::string>();
        want_quick_fixes = want_quick_fixes || name == "quickfix";
        want_fix_all = want_fix_all || name == "source" || name == "source.fixAll";
      }
    }
  }
  const std::vector<QuickFix> mends = mends_of(open->second.text, analysis_for(uri));
  const auto edit_of = [](const QuickFix& mend) {
    const long long line = mend.line - 1;
    // The whole line and its end; a last line without one up to its end.
    Json end = mend.line_ended ? Json{{"line", line + 1}, {"character", 0}}
                               : Json{{"line", line}, {"character", mend.line_utf16}};
    Json edit;
    edit["range"] = {{"start", {{"line", line}, {"character", 0}}}, {"end", end}};
    edit["newText"] = mend.replacement;
    return edit;
  };
  Json all_edits = Json::array();
  for (const QuickFix& mend : mends) {
    all_edits.push_back(edit_of(mend));
    const long long line = mend.line - 1;
    if (!want_quick_fixes || line < first || (last >= 0 && line > last)) continue;
    Json action;
    action["title"] = mend.title;
    action["kind"] = "quickfix";
    Json diagnostics = Json::array();
    if (const Json* context = member(params, "context")) {
      if (const Json* given = member(*context, "diagnostics");
          given != nullptr && given->is_array()) {
        for (const Json& diagnostic : *given) {
          const Json* range = member(diagnostic, "range");
          const Json* start = range != nullptr ? member(*range, "start") : nullptr;
          if (start != nullptr && start->value("line", -1LL) == line)
            diagnostics.push_back(diagnostic);
        }
      }
    }
    action["diagnostics"] = diagnostics;
    action["edit"]["changes"][uri] = Json::array({edit_of(mend)});
    actions.push_back(action);
  }
  if (want_fix_all && !mends.empty()) {
    Json action;
    action["title"] = "skewquad: fix all";
    action["kind"] = "source.fixAll";
    action["edit"]["changes"][uri] = all_edits;
    actions.push_back(action);
  }
  return actions;
}

}  // namespace skewquad::lsp
