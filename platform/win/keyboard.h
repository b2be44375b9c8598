// Whether the machine has a keyboard to type with, as the terminal's system tells a program
// that must decide whether to bring up an on-screen keyboard.
#pragma once

#include "platform/win/types.h"

constexpr DWORD KBDI_KEYBOARD_PRESENT = 0x0001;    // some device with keys: a keypad at least
constexpr DWORD KBDI_KEYBOARD_ENABLED = 0x0002;    // it delivers keys (always with PRESENT here)
constexpr DWORD KBDI_KEYBOARD_ALPHA_NUM = 0x0008;  // one of them types letters and digits

// The keyboards attached now, from the kernel's list of input devices: a device counts as
// alphanumeric when it has Escape, the digits and the letter rows Q to P and A to D (the
// rule by which udev calls a device a keyboard). A terminal's keypad is present but not
// alphanumeric. RV4417_KEYBOARD overrides it, for a technician and for tests: "none" (no
// keyboard at all) or "present" (an alphanumeric one). Cheap enough to ask at every use.
DWORD GetKeyboardStatus();
