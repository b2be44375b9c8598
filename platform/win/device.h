// Opening devices and files: CreateFileW.
//
// A name such as "COM0:" or "GPR1:" (letters, digits, a final colon, no separator) is a
// stream device, looked up as an entry of the device directory (COM0 in it); the program says
// where that is (SetDeviceDirectoryFrom). The entry (or what its symbolic link points at) is
//   - a terminal: a serial port (serial.h);
//   - a Unix stream socket: a control device served by another program (control.h);
//   - another character device or a regular file: opened as a file; control codes go to
//     ioctl().
// A missing entry fails with ERROR_FILE_NOT_FOUND, as a missing device does on the terminal;
// a socket nobody serves fails with ERROR_DEVICE_NOT_CONNECTED. Any other name is a path in
// the path view, opened as a file (a terminal reached by path is a serial port too). Only what
// exists opens (disposition OPEN_EXISTING; any other is ERROR_INVALID_PARAMETER): no file is made.
//
// Share mode 0 asks for the device or file alone: a second such open, from this or another
// program, fails with ERROR_SHARING_VIOLATION (ERROR_ACCESS_DENIED for serial ports, as the
// system reports a busy port) while the first handle is open.
// Failure returns INVALID_HANDLE_VALUE, never 0.
#pragma once

#include <string>

#include "platform/win/handles.h"
#include "platform/win/types.h"

// Where the device directory is: the folder the environment variable names when it is set and
// not empty, else the fallback. The variable is read at every open, so a directory set later
// counts from the next one. Until this is called every device name is missing.
void SetDeviceDirectoryFrom(const char* environmentVariable, const char* fallback);
// The device directory now in effect; "" before SetDeviceDirectoryFrom.
std::string GetDeviceDirectory();

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
