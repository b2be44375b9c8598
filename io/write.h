// The only ways the tool sends to a port: raw bytes, or 16-bit text in code page 936.
//
// Both write everything, retrying the rest every 10 ms, and never tell the caller anything.
// Neither does anything for a port that is not open (0 or the invalid-handle value) or for a
// length below 1. A port that accepts nothing does not hold the caller for ever: the rest is
// dropped when WriteFile itself fails (the port is gone) or when no byte has been accepted
// for kWriteStallMs (measured between write calls; one call lasts at most the port's own
// write time-out, 50 ms per byte + 100 ms with the tool's settings).
#pragma once

#include <functional>

#include "platform/win/win.h"

inline constexpr int kWriteStallMs = 2000;

void WriteBytes(HANDLE port, const BYTE* bytes, int length);

// WriteBytes that tells how many bytes went out (all of them, unless it gave up), for
// callers that must not go on after a gap, such as a file that has to arrive as a prefix.
// It gives up too once stopped says so, looked at before every write: a caller that can be
// canceled raises its flag, then aborts the write in progress (PurgeComm, PURGE_TXABORT).
int WriteBytesCounted(HANDLE port, const BYTE* bytes, int length,
                      const std::function<bool()>& stopped = {});

// Converts text to code page 936 (a character it lacks becomes '?') and writes the bytes up
// to the first zero byte. length only has to be positive; the count sent comes from the text.
void WriteText(HANDLE port, CString text, int length);
