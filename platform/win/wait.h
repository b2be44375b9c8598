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

// Waits until the object is signaled (WAIT_OBJECT_0) or the time passes (WAIT_TIMEOUT);
// INFINITE waits without limit. Processes are signaled when they have ended, events while
// set. WAIT_FAILED (ERROR_INVALID_HANDLE) for 0, invalid or unwaitable handles. Any number
// of threads may wait for one object; a wait in progress when the handle is closed still
// ends with the object or its time. On the user-interface thread the wait keeps serving
// window calls of other threads.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// Events: manual-reset (set until ResetEvent) or auto-reset (a successful wait resets it).
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                    LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

namespace win_detail {

// Waits for fd (or -1) with the calling thread's pump when it has one; see WaitPump.
bool WaitReadable(int fd, int timeoutMs);

// poll() for one descriptor that resumes after signals and keeps to the total timeout.
// Returns the revents seen, 0 on timeout.
short PollOne(int fd, short events, int timeoutMs);

}  // namespace win_detail
