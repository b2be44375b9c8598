// Waiting until another thread is blocked in a call (a read, a wait) rather than guessing how
// long it takes to get there: for tests that must act while it waits.
#pragma once

#include <sys/types.h>

#include <atomic>

namespace rvtest {

// Waits (at most 5 s) until the thread sets its id (gettid) and then sleeps in the kernel;
// false when it never does.
bool WaitUntilBlocked(const std::atomic<pid_t>& thread);

}  // namespace rvtest
