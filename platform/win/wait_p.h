// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Waiting for descriptors, and the hook through which a waiting thread keeps serving others.
//
// Every blocking wait of the platform (Sleep, WaitForSingleObject, and the framework's thread
// joins) goes through WaitReadable. On a thread that has installed a WaitPump (the dialog
// framework installs one on its user-interface thread) the pump does the waiting, so it can
// run window calls that worker threads make meanwhile; elsewhere it is a plain poll.
#pragma once

#include <initializer_list>

#include "platform/win/wait.h"

class WaitPump {
public:
    virtual ~WaitPump() = default;

    // Waits until fd is readable (true) or timeoutMs pass (false), doing the thread's other
    // duties meanwhile. fd -1 waits for the time alone; timeoutMs -1 waits without limit.
    virtual bool WaitReadable(int fd, int timeoutMs) = 0;
};

// Installs (or, with nullptr, removes) the pump of the calling thread.
void SetThreadWaitPump(WaitPump* pump);
WaitPump* GetThreadWaitPump();

namespace win_detail {

// Waits for fd (or -1) with the calling thread's pump when it has one; see WaitPump.
bool WaitReadable(int fd, int timeoutMs);

// From now on a wait for another program ends at once (WAIT_FAILED, ERROR_OPERATION_ABORTED):
// the tool is closing on a request from outside, and programs it started keep running.
void EndWaitsForOtherPrograms();

// poll() for one descriptor that resumes after signals and keeps to the total timeout.
// Returns the revents seen, 0 on timeout.
short PollOne(int fd, short events, int timeoutMs);

// Waits until one of the descriptors (-1 entries are skipped) is readable or timeoutMs pass
// (-1: no limit), resuming after signals; the index of the first readable one, -1 on timeout.
// Does not go through the pump: for the pump's own waits.
int PollReadable(std::initializer_list<int> fds, int timeoutMs);

}  // namespace win_detail
