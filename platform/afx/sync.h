// Locks shared by the user-interface thread and worker threads.
//
// CCriticalSection is a recursive lock. A worker may hold it while it calls a window (which
// runs on the user-interface thread); so when the user-interface thread has to wait for the
// lock, it keeps serving such calls meanwhile, and the two can never block each other.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/win/types.h"

namespace win_detail {
class WakeFd;
}

class CCriticalSection {
public:
    CCriticalSection();
    ~CCriticalSection();

    BOOL Lock();
    BOOL Unlock();

private:
    std::recursive_mutex m_mutex;
    std::atomic<int> m_waiting{0};       // user-interface thread waits in progress
    std::atomic<unsigned> m_uiTurns{0};  // times the user-interface thread took it after a wait
    std::atomic<std::thread::id> m_owner{};
    int m_depth = 0;  // the owner's nested locks; only the owner touches it
    // Readable when the lock was released while someone waited.
    std::unique_ptr<win_detail::WakeFd> m_wake;
};

// Holds a critical section for a scope.
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* section, BOOL initialLock = FALSE);
    ~CSingleLock();
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock();
    BOOL Unlock();

private:
    CCriticalSection* m_section;
    bool m_locked = false;
};
