#include <atomic>

#include "platform/afx/testing.h"
#include "platform/afx/window_table.h"

namespace {
std::atomic<int> g_timerDivisor{1};
}  // namespace

void AfxScaleTimersForTesting(int divisor) {
    g_timerDivisor = divisor > 0 ? divisor : 1;
}

namespace afx_detail {

int ScaledTimerInterval(UINT milliseconds) {
    const UINT scaled = milliseconds / static_cast<UINT>(g_timerDivisor.load());
    return static_cast<int>(std::min<UINT>(std::max<UINT>(scaled, 1), 0x7FFFFFFF));
}

}  // namespace afx_detail
