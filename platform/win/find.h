// File search: FindFirstFileW / FindNextFileW / FindClose.
//
// The path is in the path view; its last component may hold the wildcards * and ?. A doubled
// separator is harmless. Entries "." and ".." are never reported. Matching is case-sensitive,
// as the file system is; brackets are ordinary characters, and "*.*" matches every entry,
// with or without an extension. Without wildcards the named entry itself is reported, even a
// dangling symbolic link (other links are followed).
//
// Attributes are FILE_ATTRIBUTE_DIRECTORY and FILE_ATTRIBUTE_READONLY (not writable by its
// owner), else FILE_ATTRIBUTE_NORMAL. The creation time is the last write time: POSIX keeps
// no birth time. A find handle is a handle like any other: CloseHandle ends it too.
#pragma once

#include "platform/win/types.h"

// The first entry matching path, described in data; INVALID_HANDLE_VALUE when there is none
// (ERROR_FILE_NOT_FOUND, or ERROR_PATH_NOT_FOUND when the folder is missing).
HANDLE FindFirstFileW(LPCWSTR path, LPWIN32_FIND_DATAW data);
// The next matching entry; FALSE with ERROR_NO_MORE_FILES after the last.
BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data);
// Ends a search started by FindFirstFileW.
BOOL FindClose(HANDLE find);
