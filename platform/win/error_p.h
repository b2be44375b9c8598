// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Failure paths inside the platform: setting the last error from errno.
#pragma once

#include "platform/win/error.h"

namespace win_detail {

// The Win32 error that best describes a POSIX errno value.
DWORD ErrorFromErrno(int err);

// Sets the last error from errno and returns FALSE, for one-line failure paths.
BOOL FailWithErrno();
BOOL Fail(DWORD error);
// Sets the last error and returns INVALID_HANDLE_VALUE, for the failure paths of opens.
HANDLE FailedHandle(DWORD error);

}  // namespace win_detail
