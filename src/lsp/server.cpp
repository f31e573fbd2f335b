// The language server's handling of each message.
#include "lsp/server.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "check/limits.h"
#include "ldraw/check_groups.h"
#include "lsp/lsp_texts.h"
#include "platform/files.h"

namespace skewquad::lsp {
namespace {

// The protocol's message types for window/showMessage.
constexpr int kMessageError = 1;
constexpr int kMessageWarning = 2;

// Full document sync: every change holds the whole text.
constexpr int kFullSync = 1;

// The settings the server takes.
constexpr const char* kSettings[] = {"warningAngle", "errorAngle", "checks"};

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

std::string json_text(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// What the file `path` is now, to tell when it changed: its size and time,
// or nothing when it is not there.
std::string stamp_of(const std::string& path) {
  std::error_code error;
  const auto time = std::filesystem::last_write_time(platform::path_of(path), error);
  if (error) return {};
  const auto size = std::filesystem::file_size(platform::path_of(path), error);
  // Some libraries count the file clock in 128 bits, which to_string does
  // not take; the low 64 tell a change as well.
  return std::to_string(static_cast<long long>(time.time_since_epoch().count())) + " " +
         std::to_string(size);
}

}  // namespace

bool is_ldraw_document(const std::string& uri, const std::string& language) {
  return language == "ldraw" || is_ldraw_file_name(uri);
}

void Server::handle(std::string body) {
  // A document's text, the bulk of the messages that carry one, is read by
  // a loop of its own; the rest of the message by the general parser.
  taken_text_ = take_text(body, kMostDocumentBytes);
  replace_lone_surrogates(body);
  Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded()) return fail(nullptr, error_code::kParseError, text::kParseError);
  // JSON, but not a message: an array (a batch) or a single value.
  if (!message.is_object()) return fail(nullptr, error_code::kInvalidRequest, text::kNotAMessage);
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
  send_(json_text(response));
}

void Server::fail(const Json& id, int code, const char* message) {
  Json response;
  response["jsonrpc"] = "2.0";
  response["id"] = id;
  response["error"] = {{"code", code}, {"message", message}};
  send_(json_text(response));
}

void Server::show_message(const std::string& message, int type) {
  Json notice;
  notice["jsonrpc"] = "2.0";
  notice["method"] = "window/showMessage";
  notice["params"] = {{"type", type}, {"message", message}};
  send_(json_text(notice));
}

void Server::request(const Json& id, const std::string& method, const Json& params) {
  if (method == "initialize") {
    if (initialized_) return fail(id, error_code::kInvalidRequest, text::kInitializedTwice);
    initialized_ = true;
    return reply(id, initialize(params));
  }
  if (!initialized_) return fail(id, error_code::kServerNotInitialized, text::kNotInitialized);
  if (shut_down_) return fail(id, error_code::kInvalidRequest, text::kAfterShutdown);
  if (method == "shutdown") {
    // An editor that sent its documents and then shuts down, or a session
    // replayed whole, gets every document's diagnostics first.
    check_changed();
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
  if (method == "codeAction/resolve") return reply(id, resolve_code_action(params));
  fail(id, error_code::kMethodNotFound, text::kMethodNotFound);
}

Json Server::initialize(const Json& params) {
  if (const Json* options = member(params, "initializationOptions")) apply_settings(*options);
  // An editor that resolves a code action's edit when it is chosen is
  // offered the fix of a whole document without working it out first.
  const Json* capabilities = member(params, "capabilities");
  const Json* text_document = capabilities ? member(*capabilities, "textDocument") : nullptr;
  const Json* code_action = text_document ? member(*text_document, "codeAction") : nullptr;
  const Json* resolve = code_action ? member(*code_action, "resolveSupport") : nullptr;
  const Json* properties = resolve ? member(*resolve, "properties") : nullptr;
  resolves_edits_ =
      properties != nullptr && properties->is_array() &&
      std::find(properties->begin(), properties->end(), Json("edit")) != properties->end();
  Json result;
  result["capabilities"]["textDocumentSync"] = {
      {"openClose", true}, {"change", kFullSync}, {"save", {{"includeText", false}}}};
  result["capabilities"]["codeActionProvider"] = {
      {"codeActionKinds", {"quickfix", "source.fixAll"}}, {"resolveProvider", true}};
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
    documents_[uri] = document_of(text_document);
  } else if (method == "textDocument/didChange") {
    const auto open = documents_.find(uri);
    const Json* changes = member(params, "contentChanges");
    if (open == documents_.end() || changes == nullptr || !changes->is_array() ||
        changes->empty()) {
      return;
    }
    Document changed = document_of(changes->back());
    // A document still too large was told so once.
    changed.told_large = changed.too_large && open->second.told_large;
    open->second = std::move(changed);
  } else if (method == "textDocument/didSave") {
    const auto open = documents_.find(uri);
    if (open != documents_.end()) open->second.changed = true;
  } else if (method == "textDocument/didClose") {
    if (documents_.erase(uri) > 0) publish(uri, "[]");
  } else if (method == "workspace/didChangeConfiguration") {
    const Json* settings = member(params, "settings");
    if (settings == nullptr) return;
    apply_settings(*settings);
    for (auto& [name, open] : documents_) open.changed = true;
  }
}

Server::Document Server::document_of(const Json& holder) {
  // The text taken out before parsing is the last "text" of the message:
  // the one of the document opened, or of the last change.
  Document document;
  if (taken_text_ && member(holder, "text") != nullptr) {
    document.text = std::move(taken_text_->text);
    document.too_large = taken_text_->too_large;
    taken_text_.reset();
  } else {
    document.text = string_member(holder, "text");
  }
  return document;
}

void Server::apply_settings(const Json& given) {
  if (!given.is_object()) return;
  // The settings, as the README shows them under "skewquad", or alone.
  const Json* ours = member(given, "skewquad");
  const Json& settings = ours != nullptr ? *ours : given;
  char message[512];
  for (const auto& [key, value] : settings.items()) {
    if (std::find(std::begin(kSettings), std::end(kSettings), key) == std::end(kSettings)) {
      std::snprintf(message, sizeof message, text::kUnknownSetting, key.c_str());
      show_message(message, kMessageWarning);
    }
  }
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
  KnownLibrary& known = libraries_[root];
  // Read again whenever its LDConfig.ldr changed, so that the same text
  // always gets what the scan would give it now.
  const std::string stamp =
      root.empty() ? std::string() : stamp_of(files_on_disk().below(root, kLdconfigName));
  if (known.library == nullptr || stamp != known.ldconfig_stamp) {
    known.library = std::make_unique<Library>(files_on_disk(), root);
    known.ldconfig_stamp = stamp;
  }
  std::string problem;
  if (known.library->colours(problem) == nullptr && !problem.empty() &&
      problem != known.told_problem) {
    known.told_problem = problem;
    show_message(text::kBadLdconfigPrefix + problem, kMessageError);
  }
  analysis.library = known.library.get();
  return analysis;
}

void Server::publish(const std::string& uri, const std::string& diagnostics) {
  send_(R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)" +
        json_text(uri) + ",\"diagnostics\":" + diagnostics + "}}");
}

void Server::check_changed() {
  for (auto& [uri, document] : documents_) {
    if (!document.changed) continue;
    document.changed = false;
    if (document.too_large) {
      if (!document.told_large) {
        char message[512];
        std::snprintf(message, sizeof message, text::kTooLargeDocument, uri.c_str());
        show_message(message, kMessageWarning);
        document.told_large = true;
      }
      publish(uri, "[]");
      continue;
    }
    publish(uri, diagnostics_of(document.text, path_of_uri(uri), ProtocolLines(document.text),
                                analysis_for(uri)));
  }
}

Json Server::edits_of(const QuickFix& fix) {
  Json edits = Json::array();
  for (const TextEdit& one : fix.edits) {
    Json edit;
    edit["range"] = {{"start", {{"line", one.start.line}, {"character", one.start.character}}},
                     {"end", {{"line", one.end.line}, {"character", one.end.character}}}};
    edit["newText"] = one.replacement;
    edits.push_back(std::move(edit));
  }
  return edits;
}

Json Server::code_actions(const Json& params) {
  const std::string uri = string_member(params.at("textDocument"), "uri");
  const auto open = documents_.find(uri);
  Json actions = Json::array();
  if (open == documents_.end() || open->second.too_large) return actions;
  const std::string& text = open->second.text;
  std::size_t first = 0;
  std::size_t last = 0;
  if (const Json* range = member(params, "range")) {
    const Json* start = member(*range, "start");
    const Json* end = member(*range, "end");
    if (start != nullptr) first = start->value("line", std::size_t{0});
    if (end != nullptr) last = end->value("line", first);
  }
  last = std::max(first, last);
  // Only the kinds asked for, when the editor says which.
  bool want_quick_fixes = true;
  bool want_fix_all = true;
  bool fix_all_asked = false;
  const Json* context = member(params, "context");
  if (const Json* only = context != nullptr ? member(*context, "only") : nullptr;
      only != nullptr && only->is_array()) {
    want_quick_fixes = want_fix_all = false;
    for (const Json& kind : *only) {
      if (!kind.is_string()) continue;
      const std::string name = kind.get<std::string>();
      want_quick_fixes = want_quick_fixes || name == "quickfix";
      fix_all_asked = fix_all_asked || name == "source" || name == "source.fixAll";
    }
    want_fix_all = fix_all_asked;
  }
  const ProtocolLines lines(text);
  const Analysis analysis = analysis_for(uri);
  if (want_quick_fixes) {
    for (const QuickFix& fix :
         quick_fixes_in(text, path_of_uri(uri), lines, analysis, first, last)) {
      Json action;
      action["title"] = fix.title;
      action["kind"] = "quickfix";
      Json diagnostics = Json::array();
      if (const Json* given = context != nullptr ? member(*context, "diagnostics") : nullptr;
          given != nullptr && given->is_array()) {
        for (const Json& diagnostic : *given) {
          const Json* range = member(diagnostic, "range");
          const Json* start = range != nullptr ? member(*range, "start") : nullptr;
          const Json* line = start != nullptr ? member(*start, "line") : nullptr;
          // A line may hold several findings: a diagnostic that names its
          // check is the fix's only when it names the fix's.
          const Json* code = member(diagnostic, "code");
          if (line != nullptr && line->is_number() && line->get<std::size_t>() >= fix.start.line &&
              line->get<std::size_t>() < std::max(fix.end.line, fix.start.line + 1) &&
              (code == nullptr || !code->is_string() || code->get<std::string>() == fix.check)) {
            diagnostics.push_back(diagnostic);
          }
        }
      }
      action["diagnostics"] = diagnostics;
      action["edit"]["changes"][uri] = edits_of(fix);
      actions.push_back(action);
    }
  }
  // The fix of the whole document: worked out only when asked for, or when
  // the editor will ask for it once it is chosen.
  if (want_fix_all && (fix_all_asked || resolves_edits_)) {
    Json action;
    action["title"] = text::kFixAllTitle;
    action["kind"] = "source.fixAll";
    action["data"] = {{"uri", uri}};
    if (resolves_edits_ && !fix_all_asked) {
      actions.push_back(action);
    } else {
      Json resolved = resolve_code_action(action);
      if (!resolved["edit"]["changes"][uri].empty()) actions.push_back(resolved);
    }
  }
  return actions;
}

Json Server::resolve_code_action(const Json& action) {
  Json resolved = action;
  const Json* data = member(action, "data");
  const std::string uri = data != nullptr ? string_member(*data, "uri") : std::string();
  const auto open = documents_.find(uri);
  Json edits = Json::array();
  if (open != documents_.end() && !open->second.too_large) {
    const std::string& text = open->second.text;
    for (const QuickFix& fix :
         all_quick_fixes(text, path_of_uri(uri), ProtocolLines(text), analysis_for(uri))) {
      for (Json& edit : edits_of(fix)) edits.push_back(std::move(edit));
    }
  }
  resolved["edit"]["changes"][uri] = edits;
  return resolved;
}

}  // namespace skewquad::lsp
