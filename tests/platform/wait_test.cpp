// Sleeping, events, and the pump through which the user-interface thread's waits serve others.
#include "platform/win/wait.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/win/error.h"
#include "platform/win/handles.h"
#include "platform/win/handles_p.h"
#include "platform/win/wait_p.h"
#include "tests/support/blocked.h"
#include "tests/support/elapsed.h"

namespace {

using Clock = std::chrono::steady_clock;
using rvtest::ElapsedMs;

// A pump that does real work while the thread waits: it runs the jobs handed to it through an
// eventfd, as the dialog framework's pump runs the window calls of other threads.
class JobPump : public WaitPump {
public:
    JobPump() : m_jobs(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~JobPump() override { close(m_jobs); }
    int Served() const { return m_served; }
    void Hand(std::function<void()> job = {}) {
        m_job = std::move(job);
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(m_jobs, &one, sizeof one);
    }

    bool WaitReadable(int fd, int timeoutMs) override {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd fds[2] = {{fd, POLLIN, 0}, {m_jobs, POLLIN, 0}};
            const int n = poll(fds, 2, timeoutMs < 0 ? -1 : std::max(0, int(left.count())));
            if (n > 0 && fds[1].revents) {
                std::uint64_t count = 0;
                [[maybe_unused]] const ssize_t r = read(m_jobs, &count, sizeof count);
                m_served += static_cast<int>(count);
                if (m_job) {
                    m_job();
                }
            }
            if (n > 0 && fds[0].revents) {
                return true;
            }
            if (n == 0) {
                return false;
            }
        }
    }

private:
    const int m_jobs;
    int m_served = 0;
    std::function<void()> m_job;
};

// Jobs handed before a wait begins are waiting when it does: served within it or never.
TEST(WaitTest, SleepAndEventWaitsGoThroughTheThreadsPump) {
    JobPump pump;
    SetThreadWaitPump(&pump);
    pump.Hand();
    const auto start = Clock::now();
    Sleep(50);
    EXPECT_GE(ElapsedMs(start), 50);
    EXPECT_EQ(pump.Served(), 1);

    // A job that sets the event ends the wait that served it.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    pump.Hand([&] { SetEvent(event); });
    EXPECT_EQ(WaitForSingleObject(event, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(pump.Served(), 2);
    SetThreadWaitPump(nullptr);
    CloseHandle(event);
}

TEST(WaitTest, ManualEventsStaySetAutoEventsResetOnAWait) {
    HANDLE manual = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    ResetEvent(manual);
    const auto start = Clock::now();
    EXPECT_EQ(WaitForSingleObject(manual, 80), WAIT_TIMEOUT);
    EXPECT_GE(ElapsedMs(start), 80);

    HANDLE automatic = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    SetEvent(automatic);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 30), WAIT_TIMEOUT);

    // Two threads blocked on a manual event: one SetEvent releases both.
    std::atomic<pid_t> first{0};
    std::atomic<pid_t> second{0};
    std::atomic<int> released{0};
    const auto waiter = [&](std::atomic<pid_t>& id) {
        id = gettid();
        released += WaitForSingleObject(manual, 5000) == WAIT_OBJECT_0;
    };
    std::thread a(waiter, std::ref(first));
    std::thread b(waiter, std::ref(second));
    EXPECT_TRUE(rvtest::WaitUntilBlocked(first));
    EXPECT_TRUE(rvtest::WaitUntilBlocked(second));
    SetEvent(manual);
    a.join();
    b.join();
    EXPECT_EQ(released, 2);
    CloseHandle(manual);
    CloseHandle(automatic);
}

TEST(WaitTest, WaitsOnHandlesThatCannotBeWaitedForFailAtOnce) {
    const HANDLE file = win_detail::InsertHandle(std::make_shared<win_detail::KernelObject>());
    for (HANDLE h : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, file}) {
        EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    CloseHandle(file);
    EXPECT_FALSE(SetEvent(nullptr));
}

}  // namespace
