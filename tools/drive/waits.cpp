#include "tools/drive/waits.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

namespace drive {

namespace {

// Ends the loop after ms; a timer of the caller's, so nothing outlives the wait.
void EndAfter(QTimer& timer, QEventLoop& loop, int ms) {
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

void Pump(int ms) {
    QTest::qWait(ms);
}

bool RunLoopUntil(const std::function<bool()>& condition, int timeoutMs) {
    if (condition()) {
        return true;
    }
    QEventLoop loop;
    bool held = false;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (condition()) {
            held = true;
            loop.quit();
        }
    });
    check.start(1);
    QTimer end;
    EndAfter(end, loop, timeoutMs);
    loop.exec();
    return held;
}

void RunLoop(int ms) {
    // No condition to poll: a millisecond check would cost what a bench measures as idle.
    QEventLoop loop;
    QTimer end;
    EndAfter(end, loop, ms);
    loop.exec();
}

}  // namespace drive
