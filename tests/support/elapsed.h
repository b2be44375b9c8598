// Milliseconds since a moment, for tests that bound how long a give-up may take.
#pragma once

#include <chrono>

namespace rvtest {

inline long ElapsedMs(std::chrono::steady_clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - since)
                                 .count());
}

}  // namespace rvtest
