// Code-page conversion of 16-bit text.
#pragma once

#include "platform/win/types.h"

constexpr UINT CP_GBK = 936;  // the terminal's own code page (simplified Chinese)

// Converts src (srcLength units, or -1 for a zero-terminated text whose terminator is then
// converted too) to the code page: CP_ACP and 936 are code page 936, CP_UTF8 is UTF-8, any
// other number is looked up as "CP<n>". A character the code page cannot hold, and an unpaired
// surrogate, become defaultChar (or '?' when it is null) and set *usedDefault; nothing is
// dropped. With dstSize 0 the result is the size needed; otherwise the bytes written, or 0
// with ERROR_INSUFFICIENT_BUFFER when they do not fit. 0 with ERROR_INVALID_PARAMETER for bad
// arguments or an unknown code page.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLength, LPSTR dst,
                        int dstSize, LPCSTR defaultChar, LPBOOL usedDefault);
