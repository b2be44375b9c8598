// The magnetic card reader that shares COM0 with the printer.
//
// It listens for its two commands in what the tool sends on COM0 - the track selection
// 1B 4D t 1B 4D 49 and the automatic-receive switch 1D 46 03 55 (on) / AA (off) - which the
// printer never sees; everything else goes to the printer. On a swipe, with automatic
// receiving on, it sends the chosen tracks of its test card, each followed by CR LF.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace sim {

struct TestCard {
    std::string track1 = "%B4000123456789010^TEST/CARD RV4417^29121010000000000000?";
    std::string track2 = ";4000123456789010=29121010000000000?";
    std::string track3 = ";011234567890123445=000000000000000000000000000000000000?";
};

class CardReader {
public:
    using Clock = std::chrono::steady_clock;

    // What the reader made of a run of COM0 bytes.
    struct Split {
        std::string printer;  // bytes that are not the reader's, in order
        std::string events;   // what the reader did, one line each ("" when nothing)
    };

    // Takes the next bytes the tool sent. A command split across writes is waited for; a
    // beginning that stays incomplete for flushAfter goes to the printer after all.
    Split Feed(std::string_view bytes, Clock::time_point now);
    Split Flush(Clock::time_point now);
    bool Holding() const { return !m_held.empty(); }

    // The bytes a swipe sends (empty while automatic receiving is off or no track is chosen).
    std::string Swipe() const;

    const TestCard& Card() const { return m_card; }
    bool AutoReceive() const { return m_autoReceive; }
    unsigned char Track() const { return m_track; }
    std::string TrackName() const;

    static constexpr std::chrono::milliseconds kFlushAfter{200};

private:
    // 0: no command at the front; -1: could be one, more bytes needed; n: a command of n bytes.
    static int Match(std::string_view bytes);
    std::string Apply(std::string_view command);

    TestCard m_card;
    unsigned char m_track = 0x48;  // Track1,2 until told otherwise
    bool m_autoReceive = false;
    std::string m_held;
    Clock::time_point m_heldSince;
};

}  // namespace sim
