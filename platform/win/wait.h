// Sleeping and waiting: Sleep, WaitForSingleObject and events.
//
// On the user-interface thread every wait keeps serving the window calls that worker threads
// make meanwhile (wait_p.h tells how), so a worker that needs a control can always finish.
#pragma once

#include "platform/win/types.h"

// Suspends the calling thread for at least the given milliseconds (INFINITE: for ever).
// Sleep(0) gives up the rest of the time slice.
void Sleep(DWORD milliseconds);

// Waits until the object is signaled (WAIT_OBJECT_0) or the time passes (WAIT_TIMEOUT);
// INFINITE waits without limit. Processes are signaled when they have ended, events while
// set. WAIT_FAILED (ERROR_INVALID_HANDLE) for 0, invalid or unwaitable handles. Any number
// of threads may wait for one object; a wait in progress when the handle is closed still
// ends with the object or its time. On the user-interface thread the wait keeps serving
// window calls of other threads, and a request to end the program from outside; once that
// has come, a wait for a process ends at once (WAIT_FAILED, ERROR_OPERATION_ABORTED).
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// Events: manual-reset (set until ResetEvent) or auto-reset (a successful wait resets it).
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState,
                    LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
