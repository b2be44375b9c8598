#include "tools/sim/scanner.h"

namespace sim {

Scanner::Scanner(std::vector<std::string> codes, std::chrono::milliseconds delay)
    : m_codes(std::move(codes)), m_delay(delay) {
    if (m_codes.empty()) {
        m_codes.push_back("6901234567892");
    }
}

std::string Scanner::Trigger(Clock::time_point now) {
    if (!m_enabled) {
        return "trigger ignored: the scanner is disabled";
    }
    m_pending = now + m_delay;
    return "scanning";
}

bool Scanner::Control(std::uint32_t code, Clock::time_point now, std::string& what) {
    switch (code) {
        case 500:
            what = m_pending ? "stop: pending scan cancelled" : "stop";
            m_pending.reset();
            return true;
        case 100:
            m_enabled = true;
            what = "enable";
            return true;
        case 200:
            what = "trigger: " + Trigger(now);
            return true;
        case 150:
            m_enabled = false;
            m_pending.reset();
            what = "disable";
            return true;
        default:
            what = "unknown code " + std::to_string(code) + ": refused";
            return false;
    }
}

std::string Scanner::TriggerKey(Clock::time_point now) {
    return "trigger key: " + Trigger(now);
}

std::string Scanner::Due(Clock::time_point now) {
    if (!m_pending || now < *m_pending) {
        return {};
    }
    m_pending.reset();
    ++m_delivered;
    const std::string code = m_codes[m_next];
    m_next = (m_next + 1) % m_codes.size();
    return code + "\r\n";
}

}  // namespace sim
