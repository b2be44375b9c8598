// Opening and configuring the tool's serial ports.
//
// Both ports are set up the same way: an exclusive open, then 9600 baud 8N1 with the port's
// own profile of the DCB flag word, the common time-outs, and both queues purged. The owner
// stores the handle at once, shows its own message when the open failed, and configures only
// a port that opened.
#pragma once

#include <atomic>

#include "platform/win/win.h"

// Bits of the DCB flag word that a profile clears, then sets.
struct PortProfile {
    DWORD clearFlags;
    DWORD setFlags;
};

// Printer and card reader: no parity check, no null stripping, DTR and RTS held inactive,
// XON/XOFF both ways with transmission continuing after XOFF.
inline constexpr PortProfile kCom0Profile = {
    dcb_flags::fParity | dcb_flags::fDtrControl | dcb_flags::fNull | dcb_flags::fRtsControl,
    dcb_flags::fTXContinueOnXoff | dcb_flags::fOutX | dcb_flags::fInX,
};
static_assert(kCom0Profile.clearFlags == 0x3832 && kCom0Profile.setFlags == 0x0380,
              "the printer port's profile is the terminal's masks");

// Scanner: no parity check, no null stripping; flow control and lines as the driver has them.
inline constexpr PortProfile kCom2Profile = {dcb_flags::fParity | dcb_flags::fNull, 0};
static_assert(kCom2Profile.clearFlags == 0x0802 && kCom2Profile.setFlags == 0,
              "the scanner port's profile is the terminal's masks");

// Opens the named port for exclusive reading and writing; the result is the port handle.
HANDLE OpenPort(LPCWSTR name);

// Whether a handle names an open port: neither 0 nor the invalid-handle value.
bool IsPortOpen(HANDLE port);

// The handle a page's port pointer leads to now, read at every send; 0 (not open) while the
// pointer is not wired yet.
HANDLE PortThrough(const std::atomic<HANDLE>* port);

// Applies the profile, the time-outs and the purge. Failures are ignored: the port is then
// used with whatever settings it has.
void ConfigurePort(HANDLE port, const PortProfile& profile);
