// A pthread_create that always fails, preloaded into the tool to see that a
// scan whose threads cannot start still checks every file.
#include <cerrno>
#include <pthread.h>

extern "C" int pthread_create(pthread_t* /*thread*/, const pthread_attr_t* /*attributes*/,
                              void* (* /*start*/)(void*), void* /*argument*/) {
  return EAGAIN;
}
