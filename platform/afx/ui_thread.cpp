#include "platform/afx/ui_thread_p.h"

#include <QSocketNotifier>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/afx/termination_p.h"
#include "platform/win/thread.h"
#include "platform/win/wait.h"
#include "platform/win/wait_p.h"
#include "platform/win/wake_p.h"

namespace afx_detail {

namespace {

struct Call {
    const std::function<void()>* fn;
    bool done = false;
    std::exception_ptr error;  // what fn threw, for its caller
};

// One entry of the queue: a call whose caller waits, or work queued without waiting.
struct Item {
    Call* call = nullptr;
    std::function<void()> work;
};

// Work queued without waiting may run this far ahead of the user-interface thread; a worker
// that would go further waits, so that a fast one cannot fill memory with window updates.
constexpr size_t kMaxQueued = 256;

// The event loop serves the queue for at most this long in one turn, so input and painting
// go on under a flood of window updates.
constexpr int kTurnLimitMs = 1;

void Serve(int limitMs);
void RunQueuedWork();

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
    win_detail::WakeFd wake;      // readable while the queue is not empty
    win_detail::WakeFd postWake;  // readable while posted work is queued
    std::mutex mutex;
    std::condition_variable served;  // a call was served, or the queue has room again
    std::deque<Item> queue;          // calls and queued work, in the order they came
    std::atomic<size_t> queued{0};   // the queue's length, for a look without the lock
    std::deque<std::function<void()>> posted;
    QSocketNotifier* notifier = nullptr;
    QSocketNotifier* postNotifier = nullptr;
    UiPump pump;
};

UiThread& Ui() {
    static UiThread* ui = new UiThread;  // never destroyed: workers may ask during exit
    return *ui;
}

// Runs what was posted before this turn of the event loop; later posts wait for the next.
void RunPosted() {
    UiThread& ui = Ui();
    ui.postWake.Drain();
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
    const auto deadline = win_detail::Deadline::In(timeoutMs);
    UiThread& ui = Ui();
    for (;;) {
        ServePendingCalls();
        const int ready =
            win_detail::PollReadable({fd, ui.wake.Fd(), TerminationRequestFd()}, deadline.LeftMs());
        if (ready == 0) {
            return true;
        }
        // The waiter looks again: a wait for another program ends now.
        if ((ready == 2 && ServeTerminationRequest()) || deadline.Passed()) {
            return false;
        }
    }
}

}  // namespace

void StartUiThread() {
    UiThread& ui = Ui();
    ui.id = std::this_thread::get_id();
    SetThreadDescription(GetCurrentThread(), u"ui");  // its name in the trace
    ui.notifier = new QSocketNotifier(ui.wake.Fd(), QSocketNotifier::Read);
    QObject::connect(ui.notifier, &QSocketNotifier::activated, [] { Serve(kTurnLimitMs); });
    ui.postNotifier = new QSocketNotifier(ui.postWake.Fd(), QSocketNotifier::Read);
    QObject::connect(ui.postNotifier, &QSocketNotifier::activated, [] { RunPosted(); });
    SetThreadWaitPump(&ui.pump);
    ui.running = true;
}

void StopUiThread() {
    UiThread& ui = Ui();
    if (!ui.running) {
        return;
    }
    for (;;) {
        ServePendingCalls();
        std::lock_guard lock(ui.mutex);
        if (ui.queue.empty()) {
            ui.running = false;
            ui.posted.clear();  // no event loop any more: lost, as messages for dead windows
            ui.served.notify_all();
            break;
        }
    }
    SetThreadWaitPump(nullptr);
    delete ui.notifier;
    ui.notifier = nullptr;
    delete ui.postNotifier;
    ui.postNotifier = nullptr;
}

bool IsUiThread() {
    const UiThread& ui = Ui();
    return ui.running && ui.id == std::this_thread::get_id();
}

namespace {

// Under the lock: appends to the queue, waking the user-interface thread if it had nothing.
void Enqueue(UiThread& ui, Item item) {
    if (ui.queue.empty()) {
        ui.wake.Signal();
    }
    ui.queue.push_back(std::move(item));
    ui.queued.store(ui.queue.size(), std::memory_order_release);
}

}  // namespace

void RunOnUi(const std::function<void()>& fn) {
    UiThread& ui = Ui();
    if (!ui.running || ui.id == std::this_thread::get_id()) {
        // The window updates other threads queued come first, so that this call sees their
        // windows as they left them. Their calls wait for the event loop or a wait: they
        // never run inside a call of this thread's.
        if (ui.running && ui.queued.load(std::memory_order_acquire) != 0) {
            RunQueuedWork();
        }
        fn();
        return;
    }
    Call call{&fn};
    std::unique_lock lock(ui.mutex);
    if (!ui.running) {
        lock.unlock();
        fn();
        return;
    }
    Enqueue(ui, Item{&call, {}});
    ui.served.wait(lock, [&] { return call.done || !ui.running; });
    if (!call.done) {  // the user-interface thread has ended: nobody else will run it
        std::erase_if(ui.queue, [&](const Item& item) { return item.call == &call; });
        ui.queued.store(ui.queue.size(), std::memory_order_release);
        lock.unlock();
        fn();
        return;
    }
    if (call.error) {
        std::rethrow_exception(call.error);
    }
}

void WaitForRoomOnUi() {
    UiThread& ui = Ui();
    if (!ui.running || ui.id == std::this_thread::get_id()) {
        return;
    }
    std::unique_lock lock(ui.mutex);
    ui.served.wait(lock, [&] { return ui.queue.size() < kMaxQueued || !ui.running; });
}

bool TryQueueOnUi(std::function<void()>& fn) {
    UiThread& ui = Ui();
    std::lock_guard lock(ui.mutex);
    if (!ui.running || ui.id == std::this_thread::get_id()) {
        return false;
    }
    Enqueue(ui, Item{nullptr, std::move(fn)});
    return true;
}

void QueueOnUi(std::function<void()> fn) {
    WaitForRoomOnUi();
    if (!TryQueueOnUi(fn)) {
        fn();
    }
}

void PostToUi(std::function<void()> fn) {
    UiThread& ui = Ui();
    std::lock_guard lock(ui.mutex);
    if (ui.running) {  // without an event loop the message is lost, as for a dead window
        ui.posted.push_back(std::move(fn));
        ui.postWake.Signal();
    }
}

namespace {

// Runs what is queued now, and with a time limit (ms > 0) only as much as fits in it: a
// worker that keeps queuing must not keep this thread from its events. The rest waits for
// the next turn of the event loop.
void Serve(int limitMs) {
    const auto deadline = win_detail::Deadline::In(limitMs);
    UiThread& ui = Ui();
    ui.wake.Drain();
    // What is left (and what came meanwhile, which found the queue not empty and so woke
    // nobody) waits for the next turn, even when queued work threw.
    struct WakeForTheRest {
        UiThread& ui;
        ~WakeForTheRest() {
            std::lock_guard lock(ui.mutex);
            if (!ui.queue.empty()) {
                ui.wake.Signal();
            }
        }
    } wakeForTheRest{ui};
    size_t count = 0;
    {
        std::lock_guard lock(ui.mutex);
        count = ui.queue.size();
    }
    for (; count > 0 && (limitMs <= 0 || !deadline.Passed()); --count) {
        Item item;
        {
            std::lock_guard lock(ui.mutex);
            if (ui.queue.empty()) {
                return;
            }
            item = std::move(ui.queue.front());
            ui.queue.pop_front();
            ui.queued.store(ui.queue.size(), std::memory_order_release);
            if (ui.queue.size() == kMaxQueued / 2) {
                ui.served.notify_all();  // room again for workers that wait
            }
        }
        if (!item.call) {
            item.work();
            continue;
        }
        // Whatever happens, the caller wakes; what the call threw is the caller's.
        try {
            (*item.call->fn)();
        } catch (...) {
            item.call->error = std::current_exception();
        }
        std::lock_guard lock(ui.mutex);
        item.call->done = true;
        ui.served.notify_all();
    }
}

void RunQueuedWork() {
    UiThread& ui = Ui();
    std::deque<std::function<void()>> work;
    {
        std::lock_guard lock(ui.mutex);
        const size_t before = ui.queue.size();
        std::erase_if(ui.queue, [&](Item& item) {
            if (item.call) {
                return false;
            }
            work.push_back(std::move(item.work));
            return true;
        });
        ui.queued.store(ui.queue.size(), std::memory_order_release);
        if (before >= kMaxQueued / 2 && ui.queue.size() < kMaxQueued / 2) {
            ui.served.notify_all();  // room again for workers that wait
        }
    }
    for (auto& fn : work) {
        fn();
    }
}

}  // namespace

void ServePendingCalls() {
    Serve(0);
}

size_t QueuedOnUi() {
    return Ui().queued.load(std::memory_order_acquire);
}

}  // namespace afx_detail
