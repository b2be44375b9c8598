// Sleeping and waiting, and the hook through which a waiting thread keeps serving others.
//
// Every blocking wait of the platform (Sleep, WaitForSingleObject, and the framework's thread
// joins) goes through WaitReadable. On a thread that has installed a WaitPump (the dialog
// framework installs one on its user-interface thread) the pump does the waiting, so it can
// run window calls that worker threads make meanwhile; elsewhere it is a plain poll.
#pragma once

#include "platform/win/types.h"

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

// Suspends the calling thread for at least the given milliseconds (INFINITE: for ever).
// Sleep(0) gives up the rest of the time slice.
void Sleep(DWORD milliseconds);

// Milliseconds since an arbitrary start, wrapping after about 49.7 days.
DWORD GetTickCount();

namespace win_detail {

// Waits for fd (or -1) with the calling thread's pump when it has one; see WaitPump.
bool WaitReadable(int fd, int timeoutMs);

// poll() for one descriptor that resumes after signals and keeps to the total timeout.
// Returns the revents seen, 0 on timeout.
short PollOne(int fd, short events, int timeoutMs);

}  // namespace win_detail
