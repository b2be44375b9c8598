#include "platform/afx/sync.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "platform/afx/ui_thread.h"
#include "platform/win/wait.h"

namespace {

// A bound on one wait, in case a release and the waiter's last try crossed.
constexpr int kRecheckMs = 20;

}  // namespace

CCriticalSection::CCriticalSection() : m_wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CCriticalSection::~CCriticalSection() {
    if (m_wake >= 0) {
        close(m_wake);
    }
}

BOOL CCriticalSection::Lock() {
    if (!afx_detail::IsUiThread()) {
        m_mutex.lock();
        return TRUE;
    }
    ++m_waiting;
    while (!m_mutex.try_lock()) {
        if (win_detail::WaitReadable(m_wake, kRecheckMs)) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = read(m_wake, &count, sizeof count);
        }
    }
    --m_waiting;
    return TRUE;
}

BOOL CCriticalSection::Unlock() {
    m_mutex.unlock();
    if (m_waiting > 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(m_wake, &one, sizeof one);
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
