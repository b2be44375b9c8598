// Private to the platform: only code under platform/ (and the platform's own tests) includes
// this header; it may change with the platform's inner workings.
//
// The two pieces every wait of the platform is made of: a descriptor that one thread makes
// readable to wake another (serial ports, events, the critical section, the user-interface
// thread's queue), and a deadline that says how long a wait may still take.
#pragma once

#include <chrono>

namespace win_detail {

// An eventfd, close-on-exec and non-blocking: readable from Signal() until Drain().
class WakeFd {
public:
    WakeFd();
    ~WakeFd();
    WakeFd(const WakeFd&) = delete;
    WakeFd& operator=(const WakeFd&) = delete;

    bool Valid() const { return m_fd >= 0; }
    // For poll() and WaitReadable.
    int Fd() const { return m_fd; }
    // Makes the descriptor readable (any number of times: it stays readable until drained).
    void Signal() const;
    // Makes it unreadable again.
    void Drain() const;

private:
    int m_fd;
};

// A point in time that a wait must not pass, on the monotonic clock.
class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    // The deadline milliseconds from now; a negative count means none (wait without limit).
    static Deadline In(long long milliseconds);
    static Deadline At(Clock::time_point when) { return Deadline(when, false); }
    static Deadline Never() { return Deadline({}, true); }

    bool Unlimited() const { return m_never; }
    // The milliseconds left, rounded up so that a wait never ends early: -1 without a
    // deadline, 0 once it has passed, at most INT_MAX.
    int LeftMs() const;
    bool Passed() const { return !m_never && LeftMs() == 0; }
    // The earlier of the two.
    Deadline Earliest(const Deadline& other) const;

private:
    Deadline(Clock::time_point when, bool never) : m_when(when), m_never(never) {}
    Clock::time_point m_when;
    bool m_never;
};

}  // namespace win_detail
