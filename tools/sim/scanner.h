// The barcode scanner: switched and triggered through the control device GPR1, delivering
// on COM2.
//
// Stop 500, enable 100, trigger 200 and disable 150 are accepted; any other code is refused.
// A trigger (or the scanner's own trigger key) while enabled delivers, after a short delay,
// the next code of its list followed by CR LF; stop and disable cancel a pending scan; while
// disabled a trigger does nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class Scanner {
public:
    using Clock = std::chrono::steady_clock;

    Scanner(std::vector<std::string> codes, std::chrono::milliseconds delay);

    // A control code: whether it was accepted, and what happened, for the log.
    bool Control(std::uint32_t code, Clock::time_point now, std::string& what);
    // The scanner's own trigger key.
    std::string TriggerKey(Clock::time_point now);
    // The code (with its CR LF) due by now, or empty; and when the next one is due.
    std::string Due(Clock::time_point now);
    std::optional<Clock::time_point> NextDue() const { return m_pending; }

    bool Enabled() const { return m_enabled; }
    int Delivered() const { return m_delivered; }

private:
    std::string Trigger(Clock::time_point now);

    std::vector<std::string> m_codes;
    std::chrono::milliseconds m_delay;
    bool m_enabled = false;
    std::optional<Clock::time_point> m_pending;
    size_t m_next = 0;
    int m_delivered = 0;
};

}  // namespace sim
