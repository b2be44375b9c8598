// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// What the trace points of the platform use besides RV_TRACE (trace.h).
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "platform/win/error.h"
#include "platform/win/trace.h"

namespace win_detail {

// Reads the variable last given to ReadTraceSettingsFrom again (for tests).
void ReadTraceSettings();

// "41 42 0D" for the bytes, for the serial+ channel.
std::string HexBytes(const void* bytes, std::size_t count);

// The text of an errno value, as the trace shows failures.
std::string ErrnoText(int err);

// Runs call(); when the channel is on, hands tell(ok, lastError, milliseconds) how it went and
// how long it took. The caller sees call()'s result and last error either way.
template <class Call, class Tell>
BOOL TimedForTrace(TraceChannel channel, Call&& call, Tell&& tell) {
    if (!TraceOn(channel)) {
        return call();
    }
    const auto start = std::chrono::steady_clock::now();
    const BOOL ok = call();
    const DWORD error = GetLastError();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    tell(ok, error,
         static_cast<long long>(
             std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
    SetLastError(error);
    return ok;
}

}  // namespace win_detail
