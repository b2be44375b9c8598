// How the COM0 reader shows one received byte.
#pragma once

#include "platform/win/cstring.h"

// Appends the byte to the chunk: as two upper-case hex digits and a space, or as the
// 16-bit character of the same value (a zero byte adds nothing).
void AppendReceivedByte(CString& chunk, unsigned char byte, bool hex);
