#include "platform/afx/thread.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/afx/thread_p.h"
#include "platform/afx/ui_thread_p.h"
#include "platform/win/handles.h"
#include "platform/win/thread.h"

struct CWinThread::State {
    std::thread thread;
    HANDLE started = nullptr;  // set when a suspended thread may run
    std::atomic<DWORD> exitCode{0};
    std::atomic<bool> joined{false};
};

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<CWinThread*> threads;
};

Registry& Threads() {
    static auto* registry = new Registry;
    return *registry;
}

bool ForgetThread(CWinThread* thread) {
    Registry& r = Threads();
    std::lock_guard lock(r.mutex);
    const auto it = std::find(r.threads.begin(), r.threads.end(), thread);
    if (it == r.threads.end()) {
        return false;
    }
    r.threads.erase(it);
    return true;
}

// Runs on the user-interface thread once an auto-deleting thread has ended.
void Release(CWinThread* thread) {
    if (ForgetThread(thread)) {
        delete thread;
    }
}

}  // namespace

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT /*stackSize*/,
                           DWORD flags, LPSECURITY_ATTRIBUTES /*security*/) {
    auto* thread = new CWinThread;
    thread->m_state = new CWinThread::State;
    thread->m_priority = priority;
    thread->m_hThread = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread->m_state->started = CreateEventW(nullptr, TRUE, !(flags & CREATE_SUSPENDED), nullptr);
    {
        Registry& r = Threads();
        std::lock_guard lock(r.mutex);
        r.threads.push_back(thread);
    }
    std::atomic<DWORD> id{0};
    HANDLE idKnown = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CWinThread::State* state = thread->m_state;
    const HANDLE ended = thread->m_hThread;
    state->thread = std::thread([=, &id] {
        id = GetCurrentThreadId();
        SetEvent(idKnown);
        WaitForSingleObject(state->started, INFINITE);
        state->exitCode = proc(param);
        // Whoever waits may release the object from here on: touch only what stays.
        const bool autoDelete = thread->m_bAutoDelete;
        SetEvent(ended);
        if (autoDelete) {
            afx_detail::PostToUi([thread] { Release(thread); });
        }
    });
    WaitForSingleObject(idKnown, INFINITE);
    CloseHandle(idKnown);
    thread->m_nThreadID = id;
    return thread;
}

CWinThread::~CWinThread() {
    if (m_state) {
        ForgetThread(this);
        Join();
        CloseHandle(m_state->started);
        delete m_state;
    }
    CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread() {
    const bool wasSuspended = WaitForSingleObject(m_state->started, 0) != WAIT_OBJECT_0;
    SetEvent(m_state->started);
    return wasSuspended ? 1 : 0;
}

BOOL CWinThread::SetThreadPriority(int priority) {
    m_priority = priority;
    return TRUE;
}

DWORD CWinThread::ExitCode() const {
    return m_state ? m_state->exitCode.load() : 0;
}

void CWinThread::Join() {
    if (!m_state || m_state->joined.exchange(true)) {
        return;
    }
    SetEvent(m_state->started);  // a thread never resumed still has to end
    WaitForSingleObject(m_hThread, INFINITE);
    if (m_state->thread.joinable()) {
        m_state->thread.join();
    }
}

namespace afx_detail {

void JoinAllThreads() {
    for (;;) {
        CWinThread* thread = nullptr;
        {
            Registry& r = Threads();
            std::lock_guard lock(r.mutex);
            if (r.threads.empty()) {
                return;
            }
            thread = r.threads.back();
        }
        thread->Join();
        if (ForgetThread(thread) && thread->m_bAutoDelete) {
            delete thread;
        }
    }
}

}  // namespace afx_detail
