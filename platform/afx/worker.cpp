#include "platform/afx/worker.h"

void AfxStartWorker(std::atomic<CWinThread*>& slot, AFX_THREADPROC proc, LPVOID param) {
    CWinThread* thread = AfxBeginThread(proc, param, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    slot = thread;
    thread->ResumeThread();
}

void AfxStopWorker(std::atomic<CWinThread*>& slot, std::atomic<int>& stop,
                   const std::function<void()>& steps) {
    CWinThread* thread = slot;
    stop = 1;
    if (steps) {
        steps();
    }
    if (thread) {
        thread->Join();
    }
}
