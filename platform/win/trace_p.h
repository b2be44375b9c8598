// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// What the trace points of the platform use besides RV_TRACE (trace.h).
#pragma once

#include <cstddef>
#include <string>

#include "platform/win/trace.h"

namespace win_detail {

// Reads the variable last given to ReadTraceSettingsFrom again (for tests).
void ReadTraceSettings();

// "41 42 0D" for the bytes, for the serial+ channel.
std::string HexBytes(const void* bytes, std::size_t count);

// The text of an errno value, as the trace shows failures.
std::string ErrnoText(int err);

}  // namespace win_detail
