// The scanner's control requests, sent to the control device "GPR1:".
//
// Each request opens the device (shared, so requests from two threads may overlap), sends one
// control code without data, and closes it again; nothing is kept between requests. Each
// returns true when the device opened and accepted the code. No caller has to look.
#pragma once

#include "platform/win/win.h"

inline constexpr DWORD kScannerStopCode = 500;
inline constexpr DWORD kScannerEnableCode = 100;
inline constexpr DWORD kScannerTriggerCode = 200;
inline constexpr DWORD kScannerDisableCode = 150;

bool ScannerStop();
bool ScannerEnable();
bool ScannerTrigger();
bool ScannerDisable();
