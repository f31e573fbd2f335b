// Preloaded into the tool to make a race happen at the moment a test needs
// it, chosen by SKEWQUAD_INTERPOSE:
//   swap-on-seek ACTION   at the first fseek (a scan about to write what it
//                         has read) another program changes a file first:
//                         "rename FROM TO", "remove NAME", "symlink TARGET
//                         NAME", "fifo NAME", "append NAME"
//   signal-on-second-link when two threads have each linked a name into a
//                         folder (two private copies named at once), the
//                         second sends the process SIGTERM while the first
//                         still waits
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string setting() {
  const char* value = std::getenv("SKEWQUAD_INTERPOSE");
  return value != nullptr ? value : "";
}

void change_a_file(const std::string& action) {
  std::istringstream words(action);
  std::string verb;
  std::string first;
  std::string second;
  words >> verb >> verb >> first >> second;
  if (verb == "rename") {
    std::rename(first.c_str(), second.c_str());
  } else if (verb == "remove") {
    unlink(first.c_str());
  } else if (verb == "symlink") {
    unlink(second.c_str());
    if (symlink(first.c_str(), second.c_str()) != 0) std::perror("symlink");
  } else if (verb == "fifo") {
    unlink(first.c_str());
    if (mkfifo(first.c_str(), 0644) != 0) std::perror("mkfifo");
  } else if (verb == "append") {
    const int file = open(first.c_str(), O_WRONLY | O_APPEND);
    if (file >= 0) {
      if (write(file, "0 more\n", 7) != 7) std::perror("write");
      close(file);
    }
  }
}

std::atomic<int> links{0};

}  // namespace

extern "C" int fseek(FILE* stream, long offset, int whence) {
  static const auto real = reinterpret_cast<int (*)(FILE*, long, int)>(dlsym(RTLD_NEXT, "fseek"));
  static std::atomic<bool> done{false};
  const std::string action = setting();
  if (action.rfind("swap-on-seek ", 0) == 0 && !done.exchange(true)) change_a_file(action);
  return real(stream, offset, whence);
}

extern "C" int linkat(int from_folder, const char* from, int to_folder, const char* to, int flags) {
  static const auto real = reinterpret_cast<int (*)(int, const char*, int, const char*, int)>(
      dlsym(RTLD_NEXT, "linkat"));
  const int result = real(from_folder, from, to_folder, to, flags);
  if (result != 0 || setting() != "signal-on-second-link") return result;
  if (links.fetch_add(1) == 0) {
    // The first name made waits for a second, made by another thread.
    for (int wait = 0; wait < 400 && links.load() < 2; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
  } else {
    kill(getpid(), SIGTERM);
  }
  return result;
}
