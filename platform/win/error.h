// The calling thread's last error, as every failing platform call leaves it.
#pragma once

#include "platform/win/types.h"

DWORD GetLastError();
void SetLastError(DWORD error);

namespace win_detail {

// The Win32 error that best describes a POSIX errno value.
DWORD ErrorFromErrno(int err);

// Sets the last error from errno and returns FALSE, for one-line failure paths.
BOOL FailWithErrno();
BOOL Fail(DWORD error);

}  // namespace win_detail
