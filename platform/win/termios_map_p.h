// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The mapping between the DCB and termios, one function each way (see serial.h).
#pragma once

#include <termios.h>

#include "platform/win/types.h"

namespace win_detail {

// Turns off everything that makes a terminal a terminal (echo, line editing, signals,
// character translation), keeping speed, framing and flow control as they are.
void MakeRaw(termios& t);

// Stages the DCB's expressible fields into t, which holds the device's current settings.
// False when a value cannot be expressed; t is then unspecified and must not be applied.
bool DcbToTermios(const DCB& dcb, termios& t);

// The DCB of a device found with settings t: what termios expresses taken from t (CRTSCTS as
// the RTS handshake), the rest from kept.
DCB DcbFromTermios(const termios& t, const DCB& kept);

}  // namespace win_detail
