// The entry: the language server or the scan when their words are
// given, otherwise the classic command line.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "classic/run_classic.h"
#include "lsp/run_lsp.h"
#include "platform/console.h"
#include "scan/run_scan.h"

int main(int argc, char** argv) {
  using namespace skewquad;
  platform::prepare_standard_streams();
  const std::vector<std::string> arguments = platform::command_line(argc, argv);
  std::vector<const char*> values;
  values.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) values.push_back(argument.c_str());

  if (values.size() == 2 && std::string_view(values[1]) == "--lsp") return run_lsp();
  // A first argument beginning with "--" was a usage error before the
  // scan came, so nothing that worked changes when such a command
  // line is taken as the scan's, its word anywhere before a "--".
  if (values.size() > 1 && std::string_view(values[1]).starts_with("--")) {
    const auto end = std::find(values.begin() + 1, values.end(), std::string_view("--"));
    const auto word = std::find(values.begin() + 1, end, std::string_view("--scan"));
    if (word != end) {
      // The scan's arguments, its word first.
      std::rotate(values.begin() + 1, word, word + 1);
      return run_scan(static_cast<int>(values.size()) - 1, values.data() + 1);
    }
  }
  values.push_back(nullptr);
  return run_classic(static_cast<int>(arguments.size()), values.data());
}
