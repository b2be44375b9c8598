// Hooks for tests of programs built on the framework.
#pragma once

#include "platform/win/types.h"

class QWidget;

// Makes every window timer run divisor times faster from its next start (1: real time), so
// a test can see a ten-second time-out without waiting ten seconds.
void AfxScaleTimersForTesting(int divisor);

// The widget behind a window handle, for driving it as a user would; nullptr for a handle
// that is no window (any more). User-interface thread only.
QWidget* AfxWidgetForTesting(HWND hwnd);
