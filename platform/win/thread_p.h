// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The calling thread's name for the trace.
#pragma once

namespace win_detail {

// The name given with SetThreadDescription, or "" when it has none.
const char* CurrentThreadName();

}  // namespace win_detail
