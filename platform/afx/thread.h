// Worker threads: AfxBeginThread and CWinThread.
//
// AfxBeginThread starts proc(param) on a new thread and hands back its CWinThread. The object
// belongs to the framework: with m_bAutoDelete (the default) it is released on the
// user-interface thread after the thread has ended and has been joined, so a pointer read on
// the user-interface thread stays valid until that thread returns to its event loop. With
// m_bAutoDelete FALSE the starter deletes it; deleting joins the thread. m_hThread is
// signaled when the thread has ended: WaitForSingleObject waits for it (serving window calls
// on the user-interface thread). The program's end joins every thread still known.
#pragma once

#include "platform/afx/msgmap.h"
#include "platform/win/wait.h"

using AFX_THREADPROC = UINT (*)(LPVOID);
constexpr DWORD CREATE_SUSPENDED = 0x00000004;

class CWinThread : public CCmdTarget {
public:
    ~CWinThread() override;

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

    // Starts a thread made with CREATE_SUSPENDED; returns the previous suspend count.
    DWORD ResumeThread();
    // Priorities are kept but not applied: every thread runs at the system's normal one.
    BOOL SetThreadPriority(int priority);
    int GetThreadPriority() const { return m_priority; }
    // The thread procedure's result once it has ended.
    DWORD ExitCode() const;

    // Waits until the thread has ended and joins it. Not on the thread itself.
    void Join();

private:
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD,
                                      LPSECURITY_ATTRIBUTES);
    struct State;
    CWinThread() = default;
    State* m_state = nullptr;
    int m_priority = THREAD_PRIORITY_NORMAL;
};

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD flags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);
