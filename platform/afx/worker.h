// Worker threads that a window starts when it opens and stops when it closes: the COM0 and
// COM2 readers and the auto send.
//
// The owner keeps two things the worker shares: the slot that holds the running thread (the
// worker clears it as its last action, so the owner can tell an old thread is still ending)
// and the stop flag the worker watches between its steps.
#pragma once

#include <atomic>
#include <functional>

#include "platform/afx/thread.h"

// Starts proc(param) on a new thread. It is stored in slot before it runs (started suspended),
// so the worker's clearing of the slot always comes after.
void AfxStartWorker(std::atomic<CWinThread*>& slot, AFX_THREADPROC proc, LPVOID param);

// Stops the worker in slot: raises stop, runs the owner's own steps (a pause for the worker to
// finish its step, closing the port that ends a read in progress, waking a pause...), then
// joins the thread, serving its window calls meanwhile. The thread object stays valid until
// the user-interface thread is back in its event loop, even when the worker has cleared the
// slot already. Without a worker only the flag and the steps are done.
void AfxStopWorker(std::atomic<CWinThread*>& slot, std::atomic<int>& stop,
                   const std::function<void()>& steps = {});
