// Sleeping, events, and the pump through which the user-interface thread's waits serve others.
#include "platform/win/wait.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win/error.h"
#include "platform/win/handles.h"
#include "platform/win/wait_p.h"

namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// A pump that does real work while the thread waits: it runs the jobs other threads hand
// it through an eventfd, as the dialog framework's pump runs window calls.
class JobPump : public WaitPump {
public:
    JobPump() : m_jobs(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~JobPump() override { close(m_jobs); }
    int JobFd() const { return m_jobs; }
    int Served() const { return m_served; }

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
    std::atomic<int> m_served{0};
};

void Hand(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

TEST(WaitTest, SleepAndEventWaitsGoThroughTheThreadsPump) {
    JobPump pump;
    SetThreadWaitPump(&pump);
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Hand(pump.JobFd());
    });
    const auto start = Clock::now();
    Sleep(150);
    EXPECT_GE(ElapsedMs(start), 150);
    worker.join();
    EXPECT_EQ(pump.Served(), 1);  // served in the middle of the sleep

    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread setter([&] {
        Hand(pump.JobFd());
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        SetEvent(event);
    });
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    setter.join();
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

    // Two waiters on a manual event: one SetEvent releases both.
    std::atomic<int> released{0};
    std::thread a([&] { released += WaitForSingleObject(manual, 5000) == WAIT_OBJECT_0; });
    std::thread b([&] { released += WaitForSingleObject(manual, 5000) == WAIT_OBJECT_0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    SetEvent(manual);
    a.join();
    b.join();
    EXPECT_EQ(released, 2);
    CloseHandle(manual);
    CloseHandle(automatic);
}

TEST(WaitTest, WaitsOnHandlesThatCannotBeWaitedForFailAtOnce) {
    for (HANDLE h : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    EXPECT_FALSE(SetEvent(nullptr));
}

}  // namespace
