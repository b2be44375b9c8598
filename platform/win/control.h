// Control devices: DeviceIoControl.
//
// A device whose entry in the device directory is a Unix stream socket is served by another
// program (the simulated terminal, or a driver's helper). CreateFileW connects to it; each
// control code goes out as 4 bytes, little-endian, without the input data, and the answer is
// 1 byte: 1 accepted, anything else refused. A device that does not answer within one second
// counts as refusing (ERROR_TIMEOUT), so no caller can hang on it. Other character devices
// take the code as an ioctl() request with the input buffer as its argument.
#pragma once

#include "platform/win/handles.h"
#include "platform/win/types.h"

constexpr DWORD kControlAnswerTimeoutMs = 1000;

// TRUE when the device accepted the code. *returned (when given) is set to 0: no device here
// produces output data. Overlapped calls are refused (ERROR_INVALID_PARAMETER).
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                     LPDWORD returned, LPOVERLAPPED overlapped);
