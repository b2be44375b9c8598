// The calling thread's last error, as every failing platform call leaves it.
#pragma once

#include "platform/win/types.h"

DWORD GetLastError();
void SetLastError(DWORD error);
