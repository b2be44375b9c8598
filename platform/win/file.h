// Reading and writing any handle (files, serial ports), and plain files.
//
// ReadFile and WriteFile dispatch on what the handle names: a serial port keeps its
// time-outs (serial.h); a file reads until the count or its end and writes everything. Only
// synchronous calls exist: an OVERLAPPED record is refused with ERROR_INVALID_PARAMETER.
#pragma once

#include "platform/win/handles.h"
#include "platform/win/types.h"

// Reads up to size bytes; *done (when given) is the count read, 0 at the end of a file.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped);
// Writes up to size bytes; *done (when given) is the count written, also when FALSE returns.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped);
// The file's size: the low 32 bits returned, the high ones in *high (when given).
// INVALID_FILE_SIZE with the last error set on failure.
DWORD GetFileSize(HANDLE file, LPDWORD high);
