// Hooks for tests of programs built on the framework.
#pragma once

// Makes every window timer run divisor times faster from its next start (1: real time), so
// a test can see a ten-second time-out without waiting ten seconds.
void AfxScaleTimersForTesting(int divisor);
