// Handles: every HANDLE the platform gives out names one object (a file, a port, a control
// device, a process, an event). Handles are never reused within a run, so a stale handle
// cannot reach a newer object; closing a handle while another thread uses it ends that use.
#pragma once

#include "platform/win/types.h"

// Closes the handle. 0, the invalid-handle value and unknown handles fail harmlessly with
// ERROR_INVALID_HANDLE.
BOOL CloseHandle(HANDLE handle);
