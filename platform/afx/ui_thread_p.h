// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The user-interface thread and calls into it from other threads.
//
// Every window belongs to the user-interface thread. A window operation called on another
// thread runs there while the caller waits, as a sent message does. The calls are served by
// the Qt event loop (nested loops of message boxes included) and by every platform wait on
// the user-interface thread (Sleep, WaitForSingleObject, thread joins, lock waits), so a
// worker that needs a window can always finish, whatever the user-interface thread waits for.
//
// A few operations that answer nothing (a reader appending to its receive text, moving a caret)
// are queued instead and the worker goes on; they stay in order with the worker's other
// calls, and the user-interface thread applies them before any window operation of its own,
// so nobody sees a window behind what a worker did before. A call whose caller waits (it may
// run a handler, a data exchange with its message box) never runs inside a window operation
// of the user-interface thread: only in its event loop and its waits. What a call throws
// reaches its caller, who always wakes.
#pragma once

#include <cstddef>
#include <functional>
#include <type_traits>

namespace afx_detail {

// Makes the calling thread the user-interface thread and starts serving calls. Needs the
// QApplication to exist; StopUiThread ends it (before the QApplication goes).
void StartUiThread();
void StopUiThread();
bool IsUiThread();

// Runs fn on the user-interface thread and returns when it has run (or rethrows what it
// threw). On that thread, or when there is none (no application yet, or it has ended), fn
// runs at once on the caller, after the window updates other threads queued before.
void RunOnUi(const std::function<void()>& fn);

// Runs fn on the user-interface thread after everything queued before it (calls and queued
// work of every thread) without waiting for it. A worker that is far ahead waits for room
// first. On that thread, or when there is none, fn runs at once.
void QueueOnUi(std::function<void()> fn);
// The same in two steps, for callers that queue under a lock of their own: the wait for room
// (outside that lock), then the queuing, which returns false, leaving fn to the caller, when
// this thread should run it itself.
void WaitForRoomOnUi();
bool TryQueueOnUi(std::function<void()>& fn);

// Runs fn on the user-interface thread and hands back its result.
template <class F>
auto OnUi(F&& fn) -> decltype(fn()) {
    if constexpr (std::is_void_v<decltype(fn())>) {
        RunOnUi(fn);
    } else {
        decltype(fn()) result{};
        RunOnUi([&] { result = fn(); });
        return result;
    }
}

// Queues fn for the user-interface thread's event loop and returns at once (posted messages).
// Posted work is not run inside platform waits, only when the event loop runs.
void PostToUi(std::function<void()> fn);

// Runs the calls and the work other threads have queued so far. For the user-interface
// thread's event loop and waits, where a call may run a handler.
void ServePendingCalls();

// How many calls and updates of other threads wait for the user-interface thread (for tests).
size_t QueuedOnUi();

}  // namespace afx_detail
