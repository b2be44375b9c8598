// Launching programs and waiting for them.
//
// ShellExecuteEx starts the file itself with fork and exec (no shell, no file associations,
// no parameters: the verb, lpParameters, lpDirectory and nShow are not looked at); with
// SEE_MASK_NOCLOSEPROCESS it hands back a process handle, which WaitForSingleObject (wait.h)
// waits on, signaled when the process has ended, and CloseHandle releases. The child gets only
// descriptors 0, 1 and 2, default signal handling and no blocked signals. A child whose
// handle is closed before it ends is not reaped before this program ends.
#pragma once

#include "platform/win/types.h"
#include "platform/win/wait.h"

// Starts info->lpFile. FALSE (ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT...)
// and hProcess 0 when it cannot run; otherwise TRUE, and hProcess is the new process when the
// mask asks for it.
BOOL ShellExecuteEx(LPSHELLEXECUTEINFO info);
