// Removing the private copies' names when a signal ends the process. The
// names stand in a fixed table of slots that any thread fills and the
// handler reads without a lock: a slot's state is an atomic, written last
// when a name is registered and first when it is forgotten. Names are made
// only in a naming section, which the handler waits out: it first closes
// the sections to newcomers, then waits for those open to end, then
// removes every name registered. The handler does only what is
// async-signal-safe: atomic loads and stores, nanosleep, unlinkat,
// sigaction, raise.
#include "platform/posix/cleanup_on_signal.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <time.h>

#include <fcntl.h>
#include <unistd.h>

namespace skewquad::platform {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Enough for every worker a scan may start, and the classic run.
constexpr int kSlots = 1040;

enum SlotState : int { kFree, kFilling, kArmed };

struct Slot {
  std::atomic<int> state{kFree};
  int folder = -1;
  char name[64] = {};
};

Slot slots[kSlots];
std::atomic<int> ending{0};
std::atomic<int> sections_open{0};

static_assert(std::atomic<int>::is_always_lock_free, "read by a signal handler");

void remove_then_end(int signal_number) {
  ending.store(1);
  // A section holds the signals on its own thread, so it is open on
  // another, and ends within a few system calls; a second at most.
  for (int wait = 0; wait < 1000 && sections_open.load() > 0; ++wait) {
    const struct timespec millisecond { 0, 1000000 };
    nanosleep(&millisecond, nullptr);
  }
  for (Slot& slot : slots) {
    if (slot.state.load() == kArmed) unlinkat(slot.folder, slot.name, 0);
  }
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigaction(signal_number, &default_action, nullptr);
  // Held until the handler returns, then delivered with its default action.
  raise(signal_number);
}

void install_handlers_once() {
  static std::once_flag installed;
  std::call_once(installed, [] {
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
  });
}

sigset_t held_signals() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal_number : kSignals) sigaddset(&set, signal_number);
  return set;
}

}  // namespace

NamingSection::NamingSection() {
  install_handlers_once();
  const sigset_t held = held_signals();
  pthread_sigmask(SIG_BLOCK, &held, &previous_);
  // Counted before `ending` is read, as the handler sets `ending` before it
  // reads the count: one of the two sees the other.
  sections_open.fetch_add(1);
  open_ = ending.load() == 0;
}

NamingSection::~NamingSection() {
  sections_open.fetch_sub(1);
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

NameOnSignal::NameOnSignal(int folder, const char* name) {
  install_handlers_once();
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    slots[i].folder = folder;
    std::strncpy(slots[i].name, name, sizeof slots[i].name - 1);
    slots[i].name[sizeof slots[i].name - 1] = '\0';
    slots[i].state.store(kArmed);
    slot_ = i;
    return;
  }
}

void NameOnSignal::forget() {
  if (slot_ < 0) return;
  slots[slot_].state.store(kFree);
  slot_ = -1;
}

}  // namespace skewquad::platform
