// Launching programs and waiting for them.
//
// ShellExecuteEx starts the file itself with fork and exec (no shell, no file associations);
// with SEE_MASK_NOCLOSEPROCESS it hands back a process handle, which WaitForSingleObject
// waits on and CloseHandle releases. A child launched without a handle, or whose handle is
// closed before it ends, is reaped by the next ShellExecuteEx, WaitForSingleObject,
// GetExitCodeProcess or CloseHandle of a process after it has ended: zombies never pile up,
// though the last one may wait for such a call (no thread is started to reap them).
#pragma once

#include "platform/win/types.h"
#include "platform/win/wait.h"

// Starts info->lpFile (verb null, empty or "open" in any case; others fail with
// ERROR_NOT_SUPPORTED) with the parameters split at blanks (double quotes group, "" is an
// empty parameter; they are passed as written, not converted as paths), in lpDirectory when
// given (ERROR_PATH_NOT_FOUND when it is no folder). A relative lpFile names a file in the
// caller's folder, not in lpDirectory. The child gets only descriptors 0, 1 and 2, default
// signal handling and no blocked signals; nShow is ignored. cbSize must be the record's size:
// the terminal's 60 or this build's sizeof (else ERROR_INVALID_PARAMETER). On success
// hProcess is the new process (when asked for) and hInstApp is 33; on failure hProcess stays
// 0, hInstApp is an error value <= 32 (2 file not found, 3 path not found, 5 access denied,
// 8 out of memory, 11 bad format, 31 verb not supported, 0 otherwise) and FALSE is returned
// (ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT...).
BOOL ShellExecuteEx(LPSHELLEXECUTEINFO info);

// A process handle is signaled when the process has ended: WaitForSingleObject (wait.h)
// waits for it.

// The exit code of an ended process; STILL_ACTIVE (259) while it runs. A child ended by a
// signal reports 128 + the signal number; one reaped by other code (waitpid) reports 0.
constexpr DWORD STILL_ACTIVE = 259;
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
