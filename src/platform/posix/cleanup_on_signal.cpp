// Removing the private copy's name when a signal ends the process. The
// handler does only what is async-signal-safe: unlinkat, sigaction, raise.
#include "platform/posix/cleanup_on_signal.h"

#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace skewquad::platform {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Written only while the signals are held, so the handler never sees a
// name half made.
volatile std::sig_atomic_t armed = 0;
int armed_folder = -1;
char armed_name[64];

void remove_then_end(int signal_number) {
  if (armed != 0) unlinkat(armed_folder, armed_name, 0);
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigaction(signal_number, &default_action, nullptr);
  // Held until the handler returns, then delivered with its default action.
  raise(signal_number);
}

void install_handlers_once() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal_number : kSignals) {
    struct sigaction current {};
    if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction handler {};
    handler.sa_handler = remove_then_end;
    sigemptyset(&handler.sa_mask);
    sigaction(signal_number, &handler, nullptr);
  }
}

sigset_t held_signals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal_number : kSignals) sigaddset(&set, signal_number);
  return set;
}

}  // namespace

SignalsHeld::SignalsHeld() {
  const sigset_t set = held_signals();
  sigprocmask(SIG_BLOCK, &set, &previous_);
}

SignalsHeld::~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

void remove_on_signal(int folder, const char* name) {
  install_handlers_once();
  armed_folder = folder;
  std::strncpy(armed_name, name, sizeof armed_name - 1);
  armed_name[sizeof armed_name - 1] = '\0';
  armed = 1;
}

void forget_on_signal() { armed = 0; }

}  // namespace skewquad::platform
