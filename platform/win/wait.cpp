#include "platform/win/wait.h"

#include <poll.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <limits>
#include <mutex>

#include "platform/win/error_p.h"
#include "platform/win/handles.h"
#include "platform/win/handles_p.h"
#include "platform/win/wait_p.h"
#include "platform/win/wake_p.h"

namespace {

thread_local WaitPump* t_pump = nullptr;
std::atomic<bool> g_otherProgramsNotAwaited{false};

// Without a signal descriptor a wait can only look again now and then.
constexpr int kRecheckMs = 10;

// An event is readable through its eventfd while set; the descriptor is only a wake-up, the
// state under the lock is what counts.
class Event : public win_detail::Waitable {
public:
    Event(bool manualReset, bool set) : m_manualReset(manualReset) {
        if (set) {
            Set();
        }
    }
    bool Valid() const { return m_wake.Valid(); }

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
    int SignalFd() const override { return m_wake.Fd(); }

    void Set() {
        std::lock_guard lock(m_mutex);
        m_set = true;
        m_wake.Signal();
    }
    void Reset() {
        std::lock_guard lock(m_mutex);
        ResetLocked();
    }

private:
    void ResetLocked() {
        m_set = false;
        m_wake.Drain();
    }

    const win_detail::WakeFd m_wake;
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
    const auto deadline = win_detail::Deadline::In(milliseconds);
    for (int left = deadline.LeftMs(); left > 0; left = deadline.LeftMs()) {
        win_detail::WaitReadable(-1, left);
    }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    const auto object = win_detail::LookupHandleAs<win_detail::Waitable>(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    const auto deadline = milliseconds == INFINITE ? win_detail::Deadline::Never()
                                                   : win_detail::Deadline::In(milliseconds);
    bool readable = false;
    for (;;) {
        if (object->Signaled()) {
            return WAIT_OBJECT_0;
        }
        if (object->IsOtherProgram() && g_otherProgramsNotAwaited) {
            SetLastError(ERROR_OPERATION_ABORTED);
            return WAIT_FAILED;
        }
        const int left = deadline.LeftMs();
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

void EndWaitsForOtherPrograms() {
    g_otherProgramsNotAwaited = true;
}

bool WaitReadable(int fd, int timeoutMs) {
    if (t_pump) {
        return t_pump->WaitReadable(fd, timeoutMs);
    }
    return (PollOne(fd, POLLIN, timeoutMs) & (POLLIN | POLLHUP | POLLERR)) != 0;
}

short PollOne(int fd, short events, int timeoutMs) {
    const auto deadline = Deadline::In(timeoutMs);
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = poll(&p, 1, deadline.LeftMs());
        if (n > 0) {
            return p.revents;
        }
        if (n == 0 || errno != EINTR) {
            return 0;
        }
    }
}

int PollReadable(std::initializer_list<int> fds, int timeoutMs) {
    constexpr size_t kMax = 4;
    pollfd set[kMax];
    size_t count = 0;
    for (const int fd : fds) {
        if (count < kMax) {
            set[count++] = {fd, POLLIN, 0};  // poll() skips a negative descriptor
        }
    }
    const auto deadline = Deadline::In(timeoutMs);
    for (;;) {
        const int n = poll(set, count, deadline.LeftMs());
        if (n > 0) {
            for (size_t i = 0; i < count; ++i) {
                if (set[i].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
                    return static_cast<int>(i);
                }
            }
        }
        if (n == 0 || (n < 0 && errno != EINTR) || deadline.Passed()) {
            return -1;
        }
    }
}

}  // namespace win_detail
