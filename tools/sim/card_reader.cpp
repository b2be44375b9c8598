#include "tools/sim/card_reader.h"

namespace sim {

namespace {

constexpr char kTrackCommand[] = "\x1B\x4D?\x1B\x4D\x49";  // '?' stands for the track byte
constexpr char kSwitchCommand[] = "\x1D\x46\x03";

}  // namespace

int CardReader::Match(std::string_view b) {
    if (b.empty()) {
        return 0;
    }
    if (b[0] == '\x1B') {
        for (size_t i = 1; i < 6; ++i) {
            if (i >= b.size()) {
                return -1;
            }
            if (i != 2 && b[i] != kTrackCommand[i]) {
                return 0;
            }
        }
        return 6;
    }
    if (b[0] == '\x1D') {
        for (size_t i = 1; i < 4; ++i) {
            if (i >= b.size()) {
                return -1;
            }
            if (i < 3 ? b[i] != kSwitchCommand[i] : (b[i] != '\x55' && b[i] != '\xAA')) {
                return 0;
            }
        }
        return 4;
    }
    return 0;
}

std::string CardReader::TrackName() const {
    switch (m_track) {
        case 0x46:
            return "Track1";
        case 0x47:
            return "Track2";
        case 0x48:
            return "Track1,2";
        case 0x44:
            return "Track3";
        case 0x45:
            return "Track2,3";
        default:
            return "no track";
    }
}

std::string CardReader::Apply(std::string_view command) {
    if (command[0] == '\x1B') {
        m_track = static_cast<unsigned char>(command[2]);
        return "card reader: tracks chosen: " + TrackName();
    }
    m_autoReceive = command[3] == '\x55';
    return std::string("card reader: automatic receiving ") + (m_autoReceive ? "on" : "off");
}

CardReader::Split CardReader::Feed(std::string_view bytes, Clock::time_point now) {
    Split out;
    if (m_held.empty()) {
        m_heldSince = now;
    }
    m_held.append(bytes);
    size_t i = 0;
    while (i < m_held.size()) {
        const int n = Match(std::string_view(m_held).substr(i));
        if (n == 0) {
            out.printer += m_held[i++];
        } else if (n < 0) {
            break;  // perhaps a command: wait for the rest
        } else {
            out.events += Apply(std::string_view(m_held).substr(i, static_cast<size_t>(n))) + "\n";
            i += static_cast<size_t>(n);
        }
    }
    m_held.erase(0, i);
    if (!m_held.empty() && i > 0) {
        m_heldSince = now;
    }
    return out;
}

CardReader::Split CardReader::Flush(Clock::time_point now) {
    Split out;
    if (!m_held.empty() && now - m_heldSince >= kFlushAfter) {
        out.printer = m_held;  // it never became a command
        m_held.clear();
    }
    return out;
}

std::string CardReader::Swipe() const {
    if (!m_autoReceive) {
        return {};
    }
    const std::string end = "\r\n";
    switch (m_track) {
        case 0x46:
            return m_card.track1 + end;
        case 0x47:
            return m_card.track2 + end;
        case 0x48:
            return m_card.track1 + end + m_card.track2 + end;
        case 0x44:
            return m_card.track3 + end;
        case 0x45:
            return m_card.track2 + end + m_card.track3 + end;
        default:
            return {};
    }
}

}  // namespace sim
