// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The worker threads the framework knows (thread.h), at the program's end.
#pragma once

namespace afx_detail {

// Joins every thread still known (at the program's end).
void JoinAllThreads();

}  // namespace afx_detail
