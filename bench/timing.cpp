// Timing a program's run: fork, exec, wait4 for its resource use.
#include "timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Every run starts from the same state of the file system: the copy a run
// before left behind is removed and the dirty pages it left are written out
// first, so that no run is charged for freeing or flushing another's output.
Measure run(const std::vector<std::string>& arguments, const std::string& console_path,
            const std::string& copy_path, std::initializer_list<int> statuses) {
  if (!copy_path.empty()) unlink(copy_path.c_str());
  sync();
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int input = open("/dev/null", O_RDONLY);
    const int output = open(console_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(input, 0);
    dup2(output, 1);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) ||
      std::find(statuses.begin(), statuses.end(), WEXITSTATUS(status)) == statuses.end()) {
    std::fprintf(stderr, "%s failed with status %d\n", arguments[0].c_str(), status);
    std::exit(1);
  }
  return {elapsed.count(), usage.ru_maxrss};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
