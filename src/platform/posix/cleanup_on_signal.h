// A name to remove should a signal end the process: the private copy of an
// in-place fix, for as long as it has a name of its own.
#pragma once

#include <csignal>

namespace skewquad::platform {

/// SIGINT, SIGTERM, SIGHUP and SIGPIPE held back while the object lives, so
/// that making a name and registering it (or renaming it and forgetting it)
/// is one step as far as those signals can tell.
class SignalsHeld {
 public:
  SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;
  ~SignalsHeld();

 private:
  sigset_t previous_;
};

/// From now on, should SIGINT, SIGTERM, SIGHUP or SIGPIPE end the process,
/// the file `name` (at most 63 bytes) in the folder open as `folder` is
/// removed first; the process then ends as the signal would have ended it.
/// One name at a time; a signal the process ignores stays ignored. Call with
/// the signals held.
void remove_on_signal(int folder, const char* name);

/// Forgets the name; call with the signals held.
void forget_on_signal();

}  // namespace skewquad::platform
