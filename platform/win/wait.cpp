#include "platform/win/wait.h"

#include <poll.h>
#include <sched.h>

#include <cerrno>
#include <chrono>
#include <limits>

namespace {

thread_local WaitPump* t_pump = nullptr;

using Clock = std::chrono::steady_clock;

// The milliseconds left until deadline, rounded up so a wait never ends early.
int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return 0;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                : static_cast<int>(ms);
}

}  // namespace

void SetThreadWaitPump(WaitPump* pump) {
    t_pump = pump;
}

WaitPump* GetThreadWaitPump() {
    return t_pump;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) {
            win_detail::WaitReadable(-1, -1);
        }
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (int left = MillisecondsLeft(deadline); left > 0; left = MillisecondsLeft(deadline)) {
        win_detail::WaitReadable(-1, left);
    }
}

DWORD GetTickCount() {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
    return static_cast<DWORD>(ms.count());
}

namespace win_detail {

bool WaitReadable(int fd, int timeoutMs) {
    if (t_pump) {
        return t_pump->WaitReadable(fd, timeoutMs);
    }
    return (PollOne(fd, POLLIN, timeoutMs) & (POLLIN | POLLHUP | POLLERR)) != 0;
}

short PollOne(int fd, short events, int timeoutMs) {
    const bool forever = timeoutMs < 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = poll(&p, 1, forever ? -1 : MillisecondsLeft(deadline));
        if (n > 0) {
            return p.revents;
        }
        if (n == 0 || errno != EINTR) {
            return 0;
        }
    }
}

}  // namespace win_detail
