// File search, as far as the tool asks: whether an entry exists.
//
// FindFirstFileW looks for the one entry the path names (in the path view; a doubled
// separator is harmless). There are no wildcards and no further entries, and the record is
// only zeroed: the callers look at nothing but the handle. A dangling symbolic link is an
// entry too. A find handle is a handle like any other: CloseHandle ends it as well.
#pragma once

#include "platform/win/types.h"

// A find handle when the entry exists; INVALID_HANDLE_VALUE (the last error says why) when not.
HANDLE FindFirstFileW(LPCWSTR path, LPWIN32_FIND_DATAW data);
// Ends a search started by FindFirstFileW.
BOOL FindClose(HANDLE find);
