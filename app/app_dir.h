// The application directory: the running executable's folder with its trailing backslash.
#pragma once

#include "platform/win/cstring.h"

// Set once at start-up, before any dialog or thread exists; only read afterwards.
extern CString g_strAppDir;

// Makes g_strAppDir the folder of the executable's path (kept up to and including its last
// backslash; empty when the path has none).
void RecordAppDir(LPCWSTR modulePath);
