// Serial ports: settings, time-outs and queues of a handle that CreateFileW opened on a
// terminal device (a UART, a USB serial adapter or a pseudo-terminal).
//
// The port is always raw: no echo, no line editing, no character translation, from the
// moment it is opened. The DCB is mapped to termios in one place each way:
//   BaudRate, ByteSize, Parity, StopBits       -> speed, CSIZE, PARENB/PARODD/CMSPAR, CSTOPB
//   fParity                                    -> INPCK
//   fOutX / fInX, XonChar / XoffChar           -> IXON / IXOFF, VSTART / VSTOP
//   fOutxCtsFlow or fRtsControl HANDSHAKE      -> CRTSCTS
//   fDtrControl, fRtsControl (not handshake)   -> the DTR and RTS lines (TIOCMBIS/TIOCMBIC)
// GetCommState reports what SetCommState was last given, or what the driver had when the
// port was opened: fields termios cannot express (fBinary, fOutxDsrFlow, fDsrSensitivity,
// fTXContinueOnXoff, fErrorChar, fNull, fAbortOnError, XonLim, XoffLim, ErrorChar, EofChar,
// EvtChar) and settings the device refused (a pseudo-terminal keeps 8 bits without parity)
// are kept with the handle.
//
// Reads follow COMMTIMEOUTS as the system does: ReadFile returns when the request is filled,
// when the interval time-out passes after a byte, or when the total time-out
// (multiplier x bytes requested + constant) passes; an empty queue alone never ends a read.
// A zero interval or total does not limit the read. Writes end when everything is written or
// the total write time-out (multiplier x bytes + constant) passes, with TRUE and the count
// written. A port that goes away (adapter unplugged, pseudo-terminal peer closed) makes reads
// and writes fail at once with ERROR_DEVICE_NOT_CONNECTED, without spinning; bytes that
// arrived before are delivered first. When a device appears at the port's path again (the
// adapter plugged back in, the device directory's link pointing at the new device), the next
// operation reattaches to it with the port's settings and time-outs and goes on; meanwhile
// every read and write fails at once. Closing the handle ends a read or write in progress on
// another thread (ERROR_OPERATION_ABORTED).
#pragma once

#include "platform/win/types.h"

BOOL GetCommState(HANDLE port, LPDCB dcb);
// Applies the whole DCB. FALSE (ERROR_INVALID_PARAMETER) and nothing changed when a value is
// out of range: ByteSize 5-8, Parity 0-4, StopBits 0-2, a baud rate the device lacks, or
// XonChar equal to XoffChar. Modem-line requests a device refuses are not an error.
BOOL SetCommState(HANDLE port, LPDCB dcb);
BOOL GetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
BOOL SetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
// PURGE_TXCLEAR / PURGE_RXCLEAR discard the output / input queue. PURGE_TXABORT ends a write
// in progress on another thread (FALSE with ERROR_OPERATION_ABORTED and the count done so
// far); it does not affect later writes.
BOOL PurgeComm(HANDLE port, DWORD flags);

// The DCB's flag word (its third word) as one value, bit 0 being fBinary.
DWORD GetDcbFlags(const DCB& dcb);
void SetDcbFlags(DCB& dcb, DWORD flags);

// The fields of the flag word as bits of that value; a two-bit field as both its bits.
namespace dcb_flags {
inline constexpr DWORD fBinary = 1u << 0;
inline constexpr DWORD fParity = 1u << 1;
inline constexpr DWORD fOutxCtsFlow = 1u << 2;
inline constexpr DWORD fOutxDsrFlow = 1u << 3;
inline constexpr DWORD fDtrControl = 3u << 4;
inline constexpr DWORD fDsrSensitivity = 1u << 6;
inline constexpr DWORD fTXContinueOnXoff = 1u << 7;
inline constexpr DWORD fOutX = 1u << 8;
inline constexpr DWORD fInX = 1u << 9;
inline constexpr DWORD fErrorChar = 1u << 10;
inline constexpr DWORD fNull = 1u << 11;
inline constexpr DWORD fRtsControl = 3u << 12;
inline constexpr DWORD fAbortOnError = 1u << 14;
}  // namespace dcb_flags
