// The hex send encoder: typed hexadecimal becomes bytes.
//
// Characters that are not hex digits are skipped. Two digits make a byte, however far apart;
// a lone digit followed by a separator (space, comma, semicolon) or by the end of the text
// stands for a byte with a leading zero. The bytes go out in the order of their digits, in
// one write, except that a pair "00" ends the write and goes out as a write of its own.
#pragma once

#include <atomic>
#include <functional>

#include "platform/afx/afx.h"

// 0-9 for '0'-'9', 10-15 for 'a'-'f' and 'A'-'F', 0 for anything else.
int HexDigitValue(WCHAR c);
// 16 x the first digit's value + the second's, for a text of two hex digits.
BYTE HexPairToByte(const CString& pair);

// Runs the encoder over the text, handing each write to write().
void EncodeHexText(const CString& text, const std::function<void(const BYTE*, int)>& write);

// Writes the text's bytes to the port, reading the handle anew at every write.
void SendHexText(const CString& text, const std::atomic<HANDLE>* port);
