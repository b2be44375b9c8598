#include "platform/win/wait.h"

#include <poll.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <mutex>

#include "platform/win/error.h"
#include "platform/win/handles.h"

namespace {

thread_local WaitPump* t_pump = nullptr;

// Without a signal descriptor a wait can only look again now and then.
constexpr int kRecheckMs = 10;

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

// An event is readable through its eventfd while set; the descriptor is only a wake-up, the
// state under the lock is what counts.
class Event : public win_detail::Waitable {
public:
    Event(bool manualReset, bool set)
        : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), m_manualReset(manualReset) {
        if (set) {
            Set();
        }
    }
    ~Event() override { close(m_fd); }
    bool Valid() const { return m_fd >= 0; }

    bool Signaled() override {
        std::lock_guard lock(m_mutex);
        if (!m_set) {
            return false;
        }
        if (!m_manualReset) {
            ResetLocked();
        }
        return true;
    }
    int SignalFd() const override { return m_fd; }

    void Set() {
        std::lock_guard lock(m_mutex);
        m_set = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(m_fd, &one, sizeof one);
    }
    void Reset() {
        std::lock_guard lock(m_mutex);
        ResetLocked();
    }

private:
    void ResetLocked() {
        m_set = false;
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = read(m_fd, &count, sizeof count);
    }

    const int m_fd;
    const bool m_manualReset;
    std::mutex m_mutex;
    bool m_set = false;
};

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

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    const auto object = win_detail::LookupHandleAs<win_detail::Waitable>(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    const bool forever = milliseconds == INFINITE;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : milliseconds);
    bool readable = false;
    for (;;) {
        if (object->Signaled()) {
            return WAIT_OBJECT_0;
        }
        const int left = forever ? -1 : MillisecondsLeft(deadline);
        if (left == 0) {
            return WAIT_TIMEOUT;
        }
        // A descriptor that stays readable while the object is not signaled (an auto-reset
        // event taken by another waiter, a child not yet reapable) must not make this spin.
        if (object->SignalFd() >= 0 && !readable) {
            readable = win_detail::WaitReadable(object->SignalFd(), left);
        } else {
            win_detail::WaitReadable(-1, left < 0 ? kRecheckMs : std::min(left, kRecheckMs));
            readable = false;
        }
    }
}

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES /*security*/, BOOL manualReset, BOOL initialState,
                    LPCWSTR /*name*/) {
    auto event = std::make_shared<Event>(manualReset != FALSE, initialState != FALSE);
    if (!event->Valid()) {
        win_detail::FailWithErrno();
        return nullptr;
    }
    return win_detail::InsertHandle(std::move(event));
}

BOOL SetEvent(HANDLE event) {
    const auto object = win_detail::LookupHandleAs<Event>(event);
    if (!object) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    object->Set();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    const auto object = win_detail::LookupHandleAs<Event>(event);
    if (!object) {
        return win_detail::Fail(ERROR_INVALID_HANDLE);
    }
    object->Reset();
    return TRUE;
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
