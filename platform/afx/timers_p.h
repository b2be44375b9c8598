// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// Window timers: a running timer sends WM_TIMER with its id to its window from the
// user-interface thread's event loop, never early. A window's timers stop when it is
// destroyed. Tests may make every timer run faster (AfxScaleTimersForTesting). User-interface
// thread only, except ScaleTimers.
#pragma once

#include "platform/afx/window_table_p.h"

namespace afx_detail {

// Starts the window's timer with the id, or restarts it with the new interval; returns id.
UINT_PTR StartTimer(Window& window, UINT_PTR id, UINT elapse);
// Stops the window's timer with the id; false when there is none.
bool StopTimer(Window& window, UINT_PTR id);

// From their next start, timers run divisor times faster (1: real time; less counts as 1).
void ScaleTimers(int divisor);

}  // namespace afx_detail
