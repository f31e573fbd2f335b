// The unified diff of a mending scan, hunk by hunk.
#include "scan/line_edits.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "scan/c_quoted.h"

namespace skewquad {
namespace {

// Lines of context around each change, as diff -u writes them.
constexpr int kContext = 3;

}  // namespace

namespace {

// The names of a path, '/' between them, without the "." names git apply
// refuses.
std::vector<std::string_view> names_of(std::string_view path) {
  std::vector<std::string_view> names;
  while (!path.empty()) {
    std::size_t end = 0;
    while (end < path.size() && !platform::is_separator(path[end])) ++end;
    const std::string_view name = path.substr(0, end);
    if (!name.empty() && name != ".") names.push_back(name);
    path.remove_prefix(std::min(end + 1, path.size()));
  }
  return names;
}

// A diff's header line for `prefix` ("a/" or "b/") and the path's names, as
// git writes it: in double quotes, with C's escapes, when it holds a
// control character, a quote, a backslash or a byte that is not ASCII; then
// a tab when it holds a blank, so that patch knows where it ends.
std::string header_name(std::string_view prefix, const std::vector<std::string_view>& names) {
  std::string name;
  name.append(prefix);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) name += '/';
    name.append(names[i]);
  }
  const auto needs_quotes = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\';
  };
  std::string written =
      std::any_of(name.begin(), name.end(), needs_quotes) ? c_quoted(name, true) : name;
  if (name.find(' ') != std::string::npos) written += '\t';
  return written;
}

}  // namespace

bool is_diff_path(std::string_view path) {
  if (path.empty() || platform::is_separator(path.front()) || platform::has_root_name(path)) {
    return false;
  }
  const std::vector<std::string_view> names = names_of(path);
  return !names.empty() && std::none_of(names.begin(), names.end(),
                                        [](std::string_view name) { return name == ".."; });
}

DiffEdits::DiffEdits(const std::string& path, std::string& out, std::size_t budget,
                     std::function<void(std::string&)> when_full)
    : old_name_(header_name("a/", names_of(path))),
      new_name_(header_name("b/", names_of(path))),
      out_(out),
      budget_(budget),
      when_full_(std::move(when_full)) {}

void DiffEdits::keep(std::string_view piece) {
  line_.append(piece);
  if (piece.back() == '\n') {
    unchanged(std::move(line_));
    line_.clear();
  }
}

void DiffEdits::unchanged(std::string line) {
  ++old_line_;
  if (in_hunk_ && trailing_ < kContext) {
    add(' ', line);
    ++trailing_;
    return;
  }
  context_.push_back(std::move(line));
  // More unchanged lines past the hunk's trailing context than would lead
  // into a next one: no change can join this hunk any more.
  if (in_hunk_ && context_.size() > kContext) close_hunk();
  if (!in_hunk_ && context_.size() > kContext) context_.pop_front();
}

void DiffEdits::replace(std::string_view line, std::string_view replacement, MendKind /*kind*/) {
  ++old_line_;
  if (!in_hunk_) {
    in_hunk_ = true;
    hunk_old_start_ = old_line_ - static_cast<long long>(context_.size());
    hunk_old_count_ = 0;
    hunk_new_count_ = 0;
  }
  // The unchanged lines since the last change, or before the first.
  for (const std::string& kept : context_) add(' ', kept);
  context_.clear();
  add('-', line);
  while (!replacement.empty()) {
    const std::size_t end = replacement.find('\n');
    const std::size_t size = end == std::string_view::npos ? replacement.size() : end + 1;
    add('+', replacement.substr(0, size));
    replacement.remove_prefix(size);
  }
  trailing_ = 0;
}

void DiffEdits::add(char mark, std::string_view line) {
  hunk_ += mark;
  hunk_.append(line);
  if (!line.ends_with('\n')) hunk_.append("\n\\ No newline at end of file\n");
  if (mark != '+') ++hunk_old_count_;
  if (mark != '-') ++hunk_new_count_;
}

void DiffEdits::close_hunk() {
  if (!any_hunk_) {
    out_.append("--- ").append(old_name_).append("\n+++ ").append(new_name_).append("\n");
    any_hunk_ = true;
  }
  char header[96];
  const int size =
      std::snprintf(header, sizeof header, "@@ -%lld,%lld +%lld,%lld @@\n", hunk_old_start_,
                    hunk_old_count_, hunk_old_start_ + shift_, hunk_new_count_);
  out_.append(header, static_cast<std::size_t>(size));
  out_.append(hunk_);
  shift_ += hunk_new_count_ - hunk_old_count_;
  hunk_.clear();
  in_hunk_ = false;
  trailing_ = 0;
  // What was gathered past the hunk's context leads into the next one.
  while (context_.size() > kContext) context_.pop_front();
  if (out_.size() >= budget_) when_full_(out_);
}

void DiffEdits::finish() {
  if (!line_.empty()) {
    unchanged(std::move(line_));
    line_.clear();
  }
  if (in_hunk_) close_hunk();
}

}  // namespace skewquad
