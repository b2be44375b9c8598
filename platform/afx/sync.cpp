#include "platform/afx/sync.h"

#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/afx/ui_thread_p.h"
#include "platform/win/wait.h"
#include "platform/win/wait_p.h"
#include "platform/win/wake_p.h"

namespace {

// A bound on one wait, in case a release and the waiter's last try crossed.
constexpr int kRecheckMs = 20;
// How often a worker looks whether a waiting user-interface thread has had its turn.
constexpr int kTurnPollUs = 50;

}  // namespace

CCriticalSection::CCriticalSection() : m_wake(std::make_unique<win_detail::WakeFd>()) {}

CCriticalSection::~CCriticalSection() = default;

BOOL CCriticalSection::Lock() {
    const std::thread::id self = std::this_thread::get_id();
    if (m_owner.load() == self) {
        m_mutex.lock();
        ++m_depth;
        return TRUE;
    }
    if (!afx_detail::IsUiThread()) {
        // A worker that releases and retakes the lock in a loop would otherwise always win
        // against the user-interface thread, which wakes only after the release: the window
        // would freeze for as long as the loop runs. It lets a waiting user-interface thread
        // have its turn first.
        const unsigned turn = m_uiTurns.load();
        while (m_waiting.load() > 0 && m_uiTurns.load() == turn) {
            std::this_thread::sleep_for(std::chrono::microseconds(kTurnPollUs));
        }
        m_mutex.lock();
    } else {
        ++m_waiting;
        while (!m_mutex.try_lock()) {
            if (win_detail::WaitReadable(m_wake->Fd(), kRecheckMs)) {
                m_wake->Drain();
            }
        }
        ++m_uiTurns;
        --m_waiting;
    }
    m_owner.store(self);
    m_depth = 1;
    return TRUE;
}

BOOL CCriticalSection::Unlock() {
    if (--m_depth == 0) {
        m_owner.store(std::thread::id());
    }
    m_mutex.unlock();
    if (m_waiting > 0) {
        m_wake->Signal();
    }
    return TRUE;
}

CSingleLock::CSingleLock(CCriticalSection* section, BOOL initialLock) : m_section(section) {
    if (initialLock) {
        Lock();
    }
}

CSingleLock::~CSingleLock() {
    if (m_locked) {
        Unlock();
    }
}

BOOL CSingleLock::Lock() {
    if (!m_locked && m_section) {
        m_section->Lock();
        m_locked = true;
    }
    return TRUE;
}

BOOL CSingleLock::Unlock() {
    if (m_locked && m_section) {
        m_section->Unlock();
        m_locked = false;
    }
    return TRUE;
}
