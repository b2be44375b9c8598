#include "platform/afx/ui_thread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/win/wait.h"

namespace afx_detail {

namespace {

struct Call {
    const std::function<void()>* fn;
    bool done = false;
};

// Waits of the user-interface thread: the awaited descriptor and the call queue together.
class UiPump : public WaitPump {
public:
    bool WaitReadable(int fd, int timeoutMs) override;
};

// Posted work goes through a queue of our own rather than Qt's event queue, so that the
// hand-over between threads is visible to the thread sanitizer too.
struct UiThread {
    std::atomic<bool> running{false};
    std::thread::id id;
    int wake = -1;      // eventfd, readable while calls are queued
    int postWake = -1;  // eventfd, readable while posted work is queued
    std::mutex mutex;
    std::condition_variable served;
    std::deque<Call*> calls;
    std::deque<std::function<void()>> posted;
    QSocketNotifier* notifier = nullptr;
    QSocketNotifier* postNotifier = nullptr;
    UiPump pump;
};

UiThread& Ui() {
    static UiThread* ui = new UiThread;  // never destroyed: workers may ask during exit
    return *ui;
}

void DrainWake(int fd) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(fd, &count, sizeof count);
}

void Wake(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

// Runs what was posted before this turn of the event loop; later posts wait for the next.
void RunPosted() {
    UiThread& ui = Ui();
    DrainWake(ui.postWake);
    std::deque<std::function<void()>> work;
    {
        std::lock_guard lock(ui.mutex);
        work.swap(ui.posted);
    }
    for (auto& fn : work) {
        fn();
    }
}

bool UiPump::WaitReadable(int fd, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const bool unlimited = timeoutMs < 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(unlimited ? 0 : timeoutMs);
    UiThread& ui = Ui();
    for (;;) {
        ServePendingCalls();
        int left = -1;
        if (!unlimited) {
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            left = ms.count() > 0 ? static_cast<int>(ms.count()) : 0;
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {ui.wake, POLLIN, 0}};
        const int n = poll(fds, 2, left);
        if (n > 0 && fds[0].revents) {
            return true;
        }
        if (n == 0 && !unlimited && Clock::now() >= deadline) {
            return false;
        }
    }
}

}  // namespace

void StartUiThread() {
    UiThread& ui = Ui();
    if (ui.wake < 0) {
        ui.wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        ui.postWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    ui.id = std::this_thread::get_id();
    ui.notifier = new QSocketNotifier(ui.wake, QSocketNotifier::Read);
    QObject::connect(ui.notifier, &QSocketNotifier::activated, [] { ServePendingCalls(); });
    ui.postNotifier = new QSocketNotifier(ui.postWake, QSocketNotifier::Read);
    QObject::connect(ui.postNotifier, &QSocketNotifier::activated, [] { RunPosted(); });
    SetThreadWaitPump(&ui.pump);
    ui.running = true;
}

void StopUiThread() {
    UiThread& ui = Ui();
    if (!ui.running) {
        return;
    }
    ServePendingCalls();
    SetThreadWaitPump(nullptr);
    delete ui.notifier;
    ui.notifier = nullptr;
    delete ui.postNotifier;
    ui.postNotifier = nullptr;
    {
        std::lock_guard lock(ui.mutex);
        ui.running = false;
        ui.posted.clear();  // no event loop any more: posted messages are lost, as for dead windows
        ui.served.notify_all();  // callers still queued run their calls themselves
    }
}

bool IsUiThread() {
    const UiThread& ui = Ui();
    return ui.running && ui.id == std::this_thread::get_id();
}

void RunOnUi(const std::function<void()>& fn) {
    UiThread& ui = Ui();
    if (!ui.running || ui.id == std::this_thread::get_id()) {
        fn();
        return;
    }
    Call call{&fn};
    std::unique_lock lock(ui.mutex);
    ui.calls.push_back(&call);
    Wake(ui.wake);
    ui.served.wait(lock, [&] { return call.done || !ui.running; });
    if (!call.done) {  // the user-interface thread has ended: nobody else will run it
        std::erase(ui.calls, &call);
        lock.unlock();
        fn();
    }
}

void PostToUi(std::function<void()> fn) {
    UiThread& ui = Ui();
    std::lock_guard lock(ui.mutex);
    if (ui.running) {  // without an event loop the message is lost, as for a dead window
        ui.posted.push_back(std::move(fn));
        Wake(ui.postWake);
    }
}

void ServePendingCalls() {
    UiThread& ui = Ui();
    if (ui.wake >= 0) {
        DrainWake(ui.wake);
    }
    for (;;) {
        Call* call = nullptr;
        {
            std::lock_guard lock(ui.mutex);
            if (ui.calls.empty()) {
                return;
            }
            call = ui.calls.front();
            ui.calls.pop_front();
        }
        (*call->fn)();
        std::lock_guard lock(ui.mutex);
        call->done = true;
        ui.served.notify_all();
    }
}

}  // namespace afx_detail
