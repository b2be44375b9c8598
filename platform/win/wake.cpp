#include "platform/win/wake_p.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <climits>
#include <cstdint>

namespace win_detail {

WakeFd::WakeFd() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeFd::~WakeFd() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

void WakeFd::Signal() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(m_fd, &one, sizeof one);
}

void WakeFd::Drain() const {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = read(m_fd, &count, sizeof count);
}

Deadline Deadline::In(long long milliseconds) {
    if (milliseconds < 0) {
        return Never();
    }
    return Deadline(Clock::now() + std::chrono::milliseconds(milliseconds), false);
}

int Deadline::LeftMs() const {
    if (m_never) {
        return -1;
    }
    const auto left = m_when - Clock::now();
    if (left <= Clock::duration::zero()) {
        return 0;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

Deadline Deadline::Earliest(const Deadline& other) const {
    if (m_never) {
        return other;
    }
    if (other.m_never) {
        return *this;
    }
    return m_when <= other.m_when ? *this : other;
}

}  // namespace win_detail
