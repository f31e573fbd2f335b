// The names to remove should a signal end the process: the private copy of
// each in-place fix in flight, one a thread, for as long as it has a name of
// its own.
#pragma once

#include <csignal>

namespace skewquad::platform {

/// Where a name is registered and made: SIGINT, SIGTERM, SIGHUP and SIGPIPE
/// are held on this thread, and a signal caught on another waits for the
/// section to end before it removes the names registered, so that no name
/// is made that the handler does not see. Once a signal has been caught,
/// no section opens.
class NamingSection {
 public:
  NamingSection();
  NamingSection(const NamingSection&) = delete;
  NamingSection& operator=(const NamingSection&) = delete;
  ~NamingSection();

  /// False when a signal is ending the process: make no name.
  bool open() const { return open_; }

 private:
  sigset_t previous_;
  bool open_ = false;
};

/// A name registered for removal; forget it once the name is gone or has
/// taken the file's place.
class NameOnSignal {
 public:
  /// From now on, should SIGINT, SIGTERM, SIGHUP or SIGPIPE end the process
  /// (on any thread), the file `name` (at most 63 bytes) in the folder open
  /// as `folder` is removed first; the process then ends as the signal would
  /// have ended it. A signal the process ignores stays ignored. Register
  /// within an open NamingSection, before the name is made.
  NameOnSignal(int folder, const char* name);
  NameOnSignal(const NameOnSignal&) = delete;
  NameOnSignal& operator=(const NameOnSignal&) = delete;
  ~NameOnSignal() { forget(); }

  /// False when the name could not be registered (too many at once).
  bool registered() const { return slot_ >= 0; }

  void forget();

 private:
  int slot_ = -1;
};

}  // namespace skewquad::platform
