// The running executable's own path, in the path view (backslash separators).
#pragma once

#include "platform/win/types.h"

// Writes the executable's full path (module must be null: the running program) into
// filename, zero-terminated, and returns its length. A path longer than size - 1 is cut to
// size - 1 characters and size is returned (ERROR_INSUFFICIENT_BUFFER). On failure the buffer
// holds the empty text and 0 is returned; any other module fails with ERROR_INVALID_PARAMETER.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR filename, DWORD size);
