// The calling thread: its handle, its id and its name.
//
// Threads themselves are started by the dialog framework (AfxBeginThread). A thread's name
// shows in the trace (trace.h) and in the system's tools (ps, a debugger).
#pragma once

#include "platform/win/types.h"

// The pseudo-handle of the calling thread (only SetThreadDescription takes it).
HANDLE GetCurrentThread();
// The system's id of the calling thread.
DWORD GetCurrentThreadId();
// Names the calling thread; other handles than GetCurrentThread() fail with
// ERROR_INVALID_HANDLE. The system keeps the first 15 bytes of the name.
BOOL SetThreadDescription(HANDLE thread, LPCWSTR description);
