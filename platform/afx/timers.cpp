#include "platform/afx/timers_p.h"

#include <QTimer>
#include <algorithm>
#include <atomic>

#include "platform/afx/dispatch_p.h"

namespace afx_detail {

namespace {

std::atomic<int> g_timerDivisor{1};

// Timer intervals as they run (tests may speed the clock up).
int ScaledTimerInterval(UINT milliseconds) {
    const UINT scaled = milliseconds / static_cast<UINT>(g_timerDivisor.load());
    return static_cast<int>(std::min<UINT>(std::max<UINT>(scaled, 1), 0x7FFFFFFF));
}

}  // namespace

UINT_PTR StartTimer(Window& window, UINT_PTR id, UINT elapse) {
    auto& timer = window.timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);  // never early, as the system's timers
        const HWND hwnd = window.hwnd;
        QObject::connect(timer.get(), &QTimer::timeout,
                         [hwnd, id] { Dispatch(hwnd, WM_TIMER, id, 0); });
    }
    timer->start(ScaledTimerInterval(elapse));
    return id;
}

bool StopTimer(Window& window, UINT_PTR id) {
    return window.timers.erase(id) > 0;
}

void ScaleTimers(int divisor) {
    g_timerDivisor = divisor > 0 ? divisor : 1;
}

}  // namespace afx_detail
